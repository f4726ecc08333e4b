#include "base/StringList.h"

#include <windows.h>

#include <algorithm>

#include "base/SysUtils.h"

namespace base {

const std::string& TStringList::Strings(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

void TStringList::Changed() {
    if (OnChange) OnChange();
}

void TStringList::Add(std::string text) {
    items_.push_back(std::move(text));
    Changed();
}

void TStringList::AddStrings(const TStringList& other) {
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    Changed();
}

void TStringList::Assign(const TStringList& other) {
    if (&other != this) items_ = other.items_;
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TStringList::Sort() {
    // A locale comparison per pair makes a directory of many thousand names slow; keys are made once
    // per string and then compared as bytes.
    struct Keyed {
        std::string Key;
        std::string* Item;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(items_.size());
    for (std::string& item : items_) keyed.push_back({LocaleSortKey(item), &item});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int byKey = a.Key.compare(b.Key);
        return byKey != 0 ? byKey < 0 : *a.Item < *b.Item;
    });
    std::vector<std::string> sorted;
    sorted.reserve(items_.size());
    for (const Keyed& k : keyed) sorted.push_back(std::move(*k.Item));
    items_.swap(sorted);
    Changed();
}

// The wide calls: the single-byte ones read the text in the locale's own code page (1252 for English),
// not the program's UTF-8, and put "Émile" before "apple".
int CompareTextLocale(const std::string& a, const std::string& b) {
    const std::wstring first = WideText(a);
    const std::wstring second = WideText(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.data(), static_cast<int>(first.size()),
                          second.data(), static_cast<int>(second.size())) -
           CSTR_EQUAL;
}

std::string LocaleSortKey(const std::string& text) {
    const std::wstring wide = WideText(text);
    // An empty text goes with its terminator: a length of 0 is refused, and the empty text has a key too.
    const wchar_t* source = wide.c_str();
    const int length = wide.empty() ? -1 : static_cast<int>(wide.size());
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    // A sort key is bytes, counted in bytes, whichever call makes it. The keys of file names fit a small
    // buffer, which spares the call that asks for the size.
    char small[512];
    const auto keyInto = [&](char* key, int size) {
        return LCMapStringW(LOCALE_USER_DEFAULT, flags, source, length, reinterpret_cast<wchar_t*>(key), size);
    };
    std::string key;
    const int size = keyInto(small, sizeof(small));
    if (size != 0) {
        key.assign(small, static_cast<size_t>(size));
    } else {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) throw EOSError(GetLastError());
        const int needed = keyInto(nullptr, 0);
        if (needed == 0) throw EOSError(GetLastError());
        key.assign(static_cast<size_t>(needed), '\0');
        keyInto(&key[0], needed);
    }
    // A sort key has no zero byte other than its terminator.
    if (!key.empty() && key.back() == '\0') key.pop_back();
    return key;
}

}  // namespace base
