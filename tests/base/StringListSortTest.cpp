#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/StringList.h"

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Strings that stress every level of the locale's comparison: case, accents and ligatures of the code
// page, and the hyphen, apostrophe and soft hyphen that word sorting weighs last or not at all.
std::vector<std::string> AwkwardStrings(size_t count) {
    std::vector<std::string> strings = {"",
                                        "\xad",
                                        "a",
                                        "A",
                                        "a-b",
                                        "ab",
                                        "a'b",
                                        "a b",
                                        "co-op",
                                        "coop",
                                        "\xe9t\xe9",
                                        "ete",
                                        "ETE",
                                        "stra\xdf"
                                        "e",
                                        "strasse",
                                        "\xe6",
                                        "ae",
                                        "a1",
                                        "a01",
                                        "a10"};
    std::mt19937 random(11);
    const std::string alphabet = "aAeE\xe9\xc9\xe6\xc6-' .1\xad\xdf";
    // Keys longer than the short buffer the common case uses.
    for (const char* tail : {"b", "B", "c", "-c", "\xe9"}) strings.push_back(std::string(300, 'a') + tail);
    while (strings.size() < count) {
        std::string text;
        for (size_t length = 1 + random() % 7; length > 0; --length) text += alphabet[random() % alphabet.size()];
        strings.push_back(text);
    }
    return strings;
}

TEST(LocaleSortKey, KeysCompareAsTheLocaleComparesTheirStrings) {
    const std::vector<std::string> strings = AwkwardStrings(400);
    std::vector<std::string> keys;
    for (const std::string& text : strings) keys.push_back(base::LocaleSortKey(text));
    for (size_t i = 0; i < strings.size(); ++i) {
        for (size_t j = 0; j < strings.size(); ++j) {
            ASSERT_EQ(Sign(keys[i].compare(keys[j])), Sign(base::CompareTextLocale(strings[i], strings[j])))
                << "'" << strings[i] << "' / '" << strings[j] << "'";
        }
    }
}

TEST(StringList, SortFollowsTheLocaleComparisonAndOrdersEqualStringsByTheirBytes) {
    // Accents among their letters in the program's UTF-8 (the single-byte comparison read it as code page 1252).
    base::TStringList names;
    for (const char* name : {"Zebra", "Ölgemälde", "bird", "Émile", "apple"}) names.Add(name);
    names.Sort();
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()),
              (std::vector<std::string>{"apple", "bird", "Émile", "Ölgemälde", "Zebra"}));
    base::TStringList list;
    for (const std::string& text : AwkwardStrings(2000)) list.Add(text);
    list.Sort();
    for (int i = 1; i < list.Count(); ++i) {
        const int order = base::CompareTextLocale(list[i - 1], list[i]);
        ASSERT_LE(order, 0) << "'" << list[i - 1] << "' / '" << list[i] << "'";
        if (order == 0) {
            ASSERT_LE(list[i - 1], list[i]);
        }
    }
}

}  // namespace
