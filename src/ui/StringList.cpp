#include "ui/StringList.h"

#include <windows.h>

#include <algorithm>

#include "ui/SysUtils.h"

namespace ui {

const std::string& TStringList::Strings(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

void TStringList::AddStrings(const TStringList& other) {
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
}

void TStringList::Sort() {
    std::sort(items_.begin(), items_.end(),
              [](const std::string& a, const std::string& b) { return CompareTextLocale(a, b) < 0; });
}

int CompareTextLocale(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

}  // namespace ui
