// sorted_key_list: key order, search, bounds of item, and ownership of the data blocks.
#include "sorted_key_list.h"

#include <gtest/gtest.h>

namespace {

struct counted {
    static inline int alive = 0;
    int value;
    explicit counted(int v) : value(v) { ++alive; }
    ~counted() { --alive; }
};

sorted_key_list<int> sorted_list(std::initializer_list<const char*> keys) {
    sorted_key_list<int> list;
    int i = 0;
    for (const char* k : keys)
        list.add(k, std::make_unique<int>(i++));
    list.sort();
    return list;
}

TEST(sorted_key_list, FindReturnsTheLowestIndexOfAnEqualKeyOrMinusOne) {
    const auto list = sorted_list({"AC", "AB", "AB"});
    EXPECT_EQ(list.find("AB"), 0);
    EXPECT_EQ(list.find("AC"), 2);
    EXPECT_EQ(list.find("AA"), -1);
    EXPECT_EQ(list.find("AD"), -1);
    EXPECT_EQ(list.find("A"), -1); // a common prefix of every key is not a key
    EXPECT_EQ(sorted_key_list<int>().find("A"), -1);

    // Long runs of equal keys: the lowest index whatever the binary search lands on first.
    sorted_key_list<int> many;
    for (int i = 0; i < 50; ++i)
        many.add(i < 7 ? "a" : (i < 40 ? "m" : "z"), std::make_unique<int>(i));
    many.sort();
    EXPECT_EQ(many.find("a"), 0);
    EXPECT_EQ(many.find("m"), 7);
    EXPECT_EQ(many.find("z"), 40);
}

TEST(sorted_key_list, KeysCompareAsUnsignedBytesWithPrefixesFirst) {
    const auto list = sorted_list({"\xff", "b", "ab", "a", " "});
    std::vector<std::string> keys;
    for (int i = 0; i < list.count(); ++i)
        keys.push_back(*list.key(i));
    EXPECT_EQ(keys, (std::vector<std::string>{" ", "a", "ab", "b", "\xff"}));
}

TEST(sorted_key_list, ItemOutsideTheListIsNone) {
    const auto list = sorted_list({"x", "y"});
    EXPECT_EQ(list.item(-1), nullptr);
    EXPECT_EQ(list.item(list.count()), nullptr);
    ASSERT_NE(list.item(1), nullptr);
    EXPECT_EQ(*list.item(1), 1);
}

TEST(sorted_key_list, SortOnAddKeepsTheListSortedForSearching) {
    sorted_key_list<int> list;
    list.sort_on_add = true;
    for (const char* k : {"d", "b", "c", "a"})
        list.add(k, nullptr);
    EXPECT_EQ(list.find("a"), 0);
    EXPECT_EQ(list.find("d"), 3);
}

TEST(sorted_key_list, ClearReleasesEveryDataBlockAndPackGivesBackTheReservedPlaces) {
    {
        sorted_key_list<counted> list;
        EXPECT_GE(list.capacity(), 1024u);
        for (int i = 0; i < 10; ++i)
            list.add("k" + std::to_string(i), std::make_unique<counted>(i));
        EXPECT_EQ(counted::alive, 10);
        list.clear();
        EXPECT_EQ(list.count(), 0);
        EXPECT_EQ(counted::alive, 0);
        list.add("again", std::make_unique<counted>(1));
        list.pack();
        EXPECT_EQ(list.capacity(), 1u);
    }
    EXPECT_EQ(counted::alive, 0);
}

} // namespace
