#include "lv/list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const lv::ListNode* const kMarker = reinterpret_cast<const lv::ListNode*>(lv::ListNode::kUnlinkedMarker);

struct Item : lv::ListNode {
  Item(int key, char tag, int* deleted = nullptr) : key(key), tag(tag), deleted(deleted) {}
  ~Item() override {
    if (deleted) ++*deleted;
  }
  int key;
  char tag;
  int* deleted;
};

// The list read forward and checked against a walk backward from the tail.
std::string Order(const lv::List& list) {
  std::string forward, backward;
  for (auto* n = list.Head(); n; n = n->Next()) forward += static_cast<const Item*>(n)->tag;
  for (auto* n = list.Tail(); n; n = n->Prev()) backward.insert(backward.begin(), static_cast<const Item*>(n)->tag);
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(int(forward.size()), list.Count());
  return forward;
}

TEST(List, OneNodeIsHeadAndTailAndUnlinkingItLeavesTheMarker) {
  lv::List list;
  Item a(0, 'a');
  list.Append(&a);
  EXPECT_EQ(list.Head(), &a);
  EXPECT_EQ(list.Tail(), &a);
  EXPECT_EQ(a.Next(), nullptr);
  EXPECT_EQ(a.Prev(), nullptr);
  list.Unlink(&a);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Head(), nullptr);
  EXPECT_EQ(list.Tail(), nullptr);
  EXPECT_EQ(a.Next(), kMarker);
  EXPECT_EQ(a.Prev(), kMarker);
}

TEST(List, InsertAfterPlacesNodesAndMovesTheTailOnlyAfterTheTail) {
  lv::List list;
  auto* b = new Item(0, 'b');
  auto* d = new Item(0, 'd');
  list.Append(b);
  list.Append(d);
  list.InsertAfter(new Item(0, 'a'), nullptr);  // head; tail unchanged
  EXPECT_EQ(list.Tail(), d);
  list.InsertAfter(new Item(0, 'c'), b);
  auto* e = new Item(0, 'e');
  list.InsertAfter(e, d);
  EXPECT_EQ(list.Tail(), e);
  list.Append(nullptr);
  list.InsertAfter(nullptr, b);
  EXPECT_EQ(Order(list), "abcde");
}

TEST(List, UnlinkJoinsNeighboursAndDestructionDeletesEveryNode) {
  int deleted = 0;
  Item* middle = nullptr;
  {
    lv::List list;
    list.Append(new Item(0, 'a', &deleted));
    middle = new Item(0, 'b', &deleted);
    list.Append(middle);
    list.Append(new Item(0, 'c', &deleted));
    list.Unlink(middle);
    EXPECT_EQ(Order(list), "ac");
  }
  EXPECT_EQ(deleted, 2);
  delete middle;
  EXPECT_EQ(deleted, 3);
}

struct SortCase {
  std::vector<std::pair<int, char>> items;
  std::string sorted;
};

TEST(List, SortIsStableAndKeepsTheLinksConsistent) {
  const SortCase cases[] = {
      {{}, ""},
      {{{1, 'a'}}, "a"},
      {{{2, 'a'}, {1, 'x'}, {2, 'b'}}, "xab"},
      {{{5, 'e'}, {4, 'd'}, {3, 'c'}, {2, 'b'}, {1, 'a'}}, "abcde"},
      {{{1, 'a'}, {1, 'b'}, {1, 'c'}}, "abc"},
      {{{3, 'c'}, {1, 'a'}, {2, 'b'}, {1, 'A'}, {0, 'z'}}, "zaAbc"},
  };
  for (const auto& c : cases) {
    lv::List list;
    for (auto [key, tag] : c.items) list.Append(new Item(key, tag));
    list.Sort([](const lv::ListNode* a, const lv::ListNode* b) {
      return static_cast<const Item*>(a)->key > static_cast<const Item*>(b)->key;
    });
    EXPECT_EQ(Order(list), c.sorted);
  }
}

TEST(List, SortingAnOrderedListComparesOncePerNeighbourAndRelinksNothing) {
  lv::List list;
  std::vector<Item*> items;
  for (int i = 0; i < 5; ++i) {
    items.push_back(new Item(i, char('a' + i)));
    list.Append(items.back());
  }
  int comparisons = 0;
  list.Sort([&](const lv::ListNode* a, const lv::ListNode* b) {
    ++comparisons;
    return static_cast<const Item*>(a)->key > static_cast<const Item*>(b)->key;
  });
  EXPECT_EQ(comparisons, 4);
  EXPECT_EQ(Order(list), "abcde");
  EXPECT_EQ(list.Head(), items.front());
  EXPECT_EQ(list.Tail(), items.back());
}

}  // namespace
