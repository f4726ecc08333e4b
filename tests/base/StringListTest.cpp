#include <gtest/gtest.h>

#include "base/StringList.h"
#include "base/SysUtils.h"

namespace {

TEST(StringList, IndexOutsideTheListIsTheListError) {
    base::TStringList list;
    list.Add("a");
    EXPECT_EQ(list[0], "a");
    try {
        (void)list[1];
        FAIL() << "no error";
    } catch (const base::EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    EXPECT_THROW((void)list[-1], base::EListError);
}

TEST(StringList, SortIsOneCaseInsensitiveOrder) {
    base::TStringList list;
    for (const char* name : {"c.bmp", "A.jpg", "b.bmp", "d.jpeg", "B.gif"}) list.Add(name);
    list.Sort();
    std::vector<std::string> sorted(list.begin(), list.end());
    ASSERT_EQ(sorted.size(), 5u);
    EXPECT_EQ(sorted[0], "A.jpg");
    EXPECT_EQ(sorted[1], "b.bmp");
    EXPECT_EQ(sorted[2], "B.gif");
    EXPECT_EQ(sorted[3], "c.bmp");
    EXPECT_EQ(sorted[4], "d.jpeg");
}

TEST(StringList, EveryChangeIsToldToTheListenerOfThatListOnly) {
    base::TStringList list;
    int changes = 0;
    list.OnChange = [&changes] { ++changes; };
    list.Add("b");
    list.Add("a");
    list.Sort();
    base::TStringList copy(list);
    copy.Add("c");
    EXPECT_EQ(changes, 3) << "a copy has the strings, not the listener";
    list.Assign(copy);
    list.Clear();
    list.Clear();
    EXPECT_EQ(changes, 5) << "clearing an empty list changes nothing";
    EXPECT_EQ(copy[2], "c");
}

}  // namespace
