#include "helvo/platform/ordered_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace helvo {
namespace {

std::vector<std::string> Items(StringList& list) {
  std::vector<std::string> out;
  for (auto pos = list.GetHeadPosition(); pos;) out.push_back(list.GetNext(pos));
  return out;
}

TEST(OrderedList, PositionsStayValidWhileOthersChange) {
  StringList list;
  EXPECT_FALSE(list.GetHeadPosition());
  const auto b = list.AddTail("b");
  list.AddHead("a");
  const auto c = list.AddTail("c");
  list.RemoveAt(list.Find("a"));
  list.InsertBefore(b, "a2");
  list.InsertAfter(c, "d");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a2", "b", "c", "d"}));
  // A position of none inserts at the head (before) or at the tail (after).
  list.InsertBefore({}, "head");
  list.InsertAfter({}, "tail");
  EXPECT_EQ(list.GetHead(), "head");
  EXPECT_EQ(list.GetTail(), "tail");

  auto pos = list.GetTailPosition();
  EXPECT_EQ(list.GetPrev(pos), "tail");
  EXPECT_EQ(list.GetAt(pos), "d");
  auto head = list.GetHeadPosition();
  list.GetPrev(head);
  EXPECT_FALSE(head);  // before the head is none
  auto last = list.GetTailPosition();
  list.GetNext(last);
  EXPECT_FALSE(last);  // after the tail is none

  list.AddTail("b");
  EXPECT_EQ(list.Find("b"), b);
  EXPECT_EQ(list.Find("b", b), list.GetTailPosition());
  EXPECT_FALSE(list.Find("b", list.GetTailPosition()));
  EXPECT_EQ(list.GetAt(list.FindIndex(0)), "head");
  EXPECT_FALSE(list.FindIndex(list.GetCount()));
  list.SetAt(b, "B");
  EXPECT_EQ(list.RemoveHead(), "head");
  EXPECT_EQ(list.RemoveTail(), "b");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a2", "B", "c", "d", "tail"}));
  EXPECT_FALSE(list.Find("zz"));
}

}  // namespace
}  // namespace helvo
