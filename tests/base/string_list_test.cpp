#include "base/string_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StringList, EmptyListFindsNothing) {
  StringList list;
  EXPECT_EQ(list.items, nullptr);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.capacity, 0);
  EXPECT_EQ(list.IndexOf("a.html"), -1);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST(StringList, GrowsByDoublingAndKeepsElements) {
  StringList list;
  const int expected[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(list.Append(("item" + std::to_string(i)).c_str()));
    EXPECT_EQ(list.capacity, expected[i]) << "capacity after append " << i + 1;
  }
  ASSERT_EQ(list.count, 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_STREQ(list.items[i].Data(), ("item" + std::to_string(i)).c_str())
        << "element " << i << " must survive the moves of the array";
    EXPECT_EQ(list.IndexOf(("item" + std::to_string(i)).c_str()), i);
  }
}

TEST(StringList, UniqueListIdiomAndExactComparison) {
  StringList list;
  for (const char* name : {"a.html", "b.html", "a.html", "A.html"}) {
    if (list.IndexOf(name) == -1) {
      ASSERT_TRUE(list.Append(name));
    }
  }
  ASSERT_EQ(list.count, 3) << "a.html must be kept once, A.html is another name";
  EXPECT_EQ(list.IndexOf("a.html"), 0);
  EXPECT_EQ(list.IndexOf("A.html"), 2);
  EXPECT_EQ(list.IndexOf("a.htm"), -1) << "a prefix is not a match";
}

TEST(StringList, NullAndEmptyElementsDiffer) {
  StringList list;
  ASSERT_TRUE(list.Append(""));
  ASSERT_TRUE(list.Append(nullptr));
  EXPECT_EQ(list.IndexOf(""), 0);
  EXPECT_EQ(list.IndexOf(nullptr), 1) << "null finds only the element without storage";
  EXPECT_FALSE(list.items[0].Equals(nullptr)) << "the empty text has storage";
  EXPECT_FALSE(list.items[1].Equals("")) << "an element without storage is not the empty text";
  EXPECT_EQ(list.items[1].Data(), nullptr);
}

TEST(StringList, ClearKeepsTheArrayForReuse) {
  StringList list;
  for (const char* name : {"one", "two", "three"}) ASSERT_TRUE(list.Append(name));
  const StringBuffer* array = list.items;
  const int capacity = list.capacity;
  list.Clear();
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(list.IndexOf("one"), -1) << "nothing is found after Clear";
  EXPECT_EQ(list.IndexOf(nullptr), -1);
  ASSERT_TRUE(list.Append("four"));
  EXPECT_EQ(list.items, array) << "the next append reuses the array";
  EXPECT_EQ(list.capacity, capacity);
  EXPECT_STREQ(list.items[0].Data(), "four");
}

}  // namespace
