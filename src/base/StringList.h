// An ordered list of single-byte strings whose index errors are the program's list errors, telling a
// listener of every change.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace base {

class TStringList {
public:
    TStringList() = default;
    // A copy has the strings, not the listener: whoever listens to a list listens to that list only.
    TStringList(const TStringList& other) : items_(other.items_) {}
    TStringList& operator=(const TStringList& other) {
        Assign(other);
        return *this;
    }

    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

    // Throws EListError for an index outside 0 .. Count() - 1.
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }

    void Add(std::string text);
    void AddStrings(const TStringList& other);
    // Replaces the strings with the other list's: one change.
    void Assign(const TStringList& other);
    void Clear();
    void Reserve(int count) { items_.reserve(static_cast<size_t>(count)); }

    // Sorts by the user locale's case-insensitive order (CompareStringW, NORM_IGNORECASE).
    // Strings that compare equal are ordered by their bytes.
    void Sort();

    std::vector<std::string>::const_iterator begin() const { return items_.begin(); }
    std::vector<std::string>::const_iterator end() const { return items_.end(); }

    // Called after each change of the strings (adding, clearing, sorting, assigning).
    std::function<void()> OnChange;

private:
    void Changed();

    std::vector<std::string> items_;
};

// The user locale's case-insensitive comparison: negative, zero or positive like strcmp.
int CompareTextLocale(const std::string& a, const std::string& b);

// The text's sort key for that comparison (LCMapStringW, LCMAP_SORTKEY | NORM_IGNORECASE): two keys
// compared bytewise order their texts as CompareTextLocale does, at the cost of one locale call per text
// instead of one per comparison.
std::string LocaleSortKey(const std::string& text);

}  // namespace base
