// The model's text-keyed map: sorted without regard to case, duplicates kept.
#include <gtest/gtest.h>

#include "model/SortedStringList.h"

namespace tessaro {
namespace {

TEST(SortedStringList, CaseInsensitiveOrderAndDuplicates) {
    TSortedStringList<int> list;
    list.Add("b", 1);
    list.Add("A", 2);
    list.Add("a", 3);  // an equal key goes before the one already there
    list.Add("C", 4);
    std::vector<std::string> keys;
    std::vector<int> objects;
    for (const auto& [key, object] : list) {
        keys.push_back(key);
        objects.push_back(object);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "A", "b", "C"}));
    EXPECT_EQ(objects, (std::vector<int>{3, 2, 1, 4}));
    EXPECT_EQ(list.Find("A"), 3);  // the lowest-sorted of the equal keys
    EXPECT_EQ(list.IndexOf("c"), 3);
    EXPECT_EQ(list.Find("d"), 0);
    EXPECT_EQ(list.IndexOf("d"), -1);
    list.Delete(0);
    EXPECT_EQ(list.Find("a"), 2);
    EXPECT_EQ(list.Count(), 3);
}

}  // namespace
}  // namespace tessaro
