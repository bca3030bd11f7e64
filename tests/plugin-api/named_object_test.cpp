#include "lv/named_object.h"
#include "lv/string_class.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameHashCase {
  std::string text;
  uint16_t hash;
};

TEST(NameHash, MatchesTheTableAndFoldsOnlyAToZ) {
  const NameHashCase cases[] = {
      {"", 0x0000},       {"a", 0x7C87},      {"A", 0x7C87},      {"ab", 0xAD8B},
      {"abc", 0x7C26},    {"Work 1", 0x52B5}, {"WORK 1", 0x52B5}, {"work 1", 0x52B5},
  };
  for (const auto& c : cases) EXPECT_EQ(lv::NameHash(c.text.c_str()), c.hash) << c.text;
  EXPECT_EQ(lv::NameHash(nullptr), 0);
  // Bytes above 0x7F are not folded: a UTF-8 upper-case letter keeps its own hash.
  EXPECT_NE(lv::NameHash("\xc3\x89"), lv::NameHash("\xc3\xa9"));
}

struct Named : lv::NamedObject {};

TEST(NamedObject, SetNameCopiesAndNullLeavesItNameless) {
  Named n;
  EXPECT_EQ(n.Name(), nullptr);
  EXPECT_EQ(n.Hash(), 0);
  std::string text = "Work 1";
  ASSERT_TRUE(n.SetName(text.c_str()));
  text[0] = 'X';
  EXPECT_STREQ(n.Name(), "Work 1");
  EXPECT_EQ(n.Hash(), 0x52B5);
  EXPECT_FALSE(n.SetName(nullptr));
  EXPECT_EQ(n.Name(), nullptr);
}

TEST(FindByName, MatchesIgnoringCaseAndTheFirstInListOrderWins) {
  lv::List list;
  auto add = [&](const char* name) {
    auto* n = new Named;
    if (name) n->SetName(name);
    list.Append(n);
    return n;
  };
  add(nullptr);
  add("Work 2");
  Named* first = add("Work 1");
  add("work 1");
  EXPECT_EQ(lv::FindByName(list.Head(), "WORK 1"), first);
  EXPECT_EQ(lv::FindByName(list.Head(), "Work 1 "), nullptr);
  EXPECT_EQ(lv::FindByName(list.Head(), "Work 3"), nullptr);
  EXPECT_EQ(lv::FindByName(first->Next(), "Work 1"), first->Next());
  EXPECT_EQ(lv::FindByName(nullptr, "Work 1"), nullptr);
}

struct StringHashCase {
  const char* text;
  uint32_t hash;
};

TEST(StringClass, HashAndLengthFollowEveryChange) {
  const StringHashCase cases[] = {{"abc", 0x00616263}, {"Work 1", 0x72C5FE31}, {"\x80", 0xFFFFFF80}};
  for (const auto& c : cases) EXPECT_EQ(lv::StringClass(c.text).Hash(), c.hash) << c.text;

  lv::StringClass s;
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Length(), 0);
  EXPECT_STREQ(s.TypeMarker(), "<StringClass>");
  s.Append("ab");  // on an empty string: a copy
  EXPECT_STREQ(s.Text(), "ab");
  s.Append(nullptr);
  s.Append("c");
  EXPECT_STREQ(s.Text(), "abc");
  EXPECT_EQ(s.Length(), 3);
  EXPECT_EQ(s.Hash(), 0x00616263u);
  s.Assign(s.Text());  // its own text
  EXPECT_STREQ(s.Text(), "abc");
  s.Assign(nullptr);
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Length(), 0);
  EXPECT_EQ(s.Hash(), 0u);
}

TEST(StringClass, CopiesOwnTheirText) {
  lv::StringClass a("Work 1");
  lv::StringClass b(a);
  a.Assign("other");
  EXPECT_STREQ(b.Text(), "Work 1");
  b = a;
  EXPECT_STREQ(b.Text(), "other");
  EXPECT_NE(b.Text(), a.Text());
}

}  // namespace
