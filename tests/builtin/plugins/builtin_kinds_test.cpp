// The built-in kinds as the registry lists them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "builtin_kinds.h"
#include "registry/plug_registry.h"

namespace {

struct Row {
  const char* name;
  int32_t kind;
  const char* category;
  const char* description;
  uint8_t id[16];
};

// The plug-in kinds in the order the program lists them.
const Row kPlugKinds[] = {
    {"ShowBMP", 1, "Basic", "Display a BMP image",
     {0xe6, 0x3a, 0x48, 0x41, 0xd9, 0xe1, 0x37, 0x47, 0xa8, 0xe3, 0xc5, 0x3b, 0x91, 0xc9, 0xb6, 0x20}},
    {"Color Fill", 1, "Basic", "Fill the screen with a single color",
     {0x73, 0xc5, 0x22, 0xa6, 0x91, 0x9d, 0x78, 0x47, 0xbc, 0xaf, 0x04, 0x66, 0x85, 0xcf, 0x8a, 0xba}},
    {"Display Source", 3, "Basic", "Display a video source",
     {0xd1, 0x91, 0x01, 0x30, 0x3e, 0x54, 0xc9, 0x41, 0xab, 0x15, 0x48, 0x88, 0x63, 0x9a, 0x62, 0x38}},
    {"Warp Source", 3, "2D Effect", "Warp a video source",
     {0x31, 0x2b, 0xfd, 0x75, 0x8f, 0x1a, 0x69, 0x4f, 0x8b, 0xba, 0x58, 0xad, 0x9c, 0xc3, 0x55, 0x72}},
    {"Sample Video", 1, "Sampler", "Sample a video source",
     {0x1a, 0x16, 0x84, 0xf4, 0x87, 0x94, 0x0e, 0x41, 0xbc, 0x55, 0xcc, 0x05, 0xbf, 0x53, 0x5f, 0x60}},
};

TEST(BuiltinKinds, PlugKindsKeepTheirOrderAndIdentities) {
  lv::PlugRegistry registry;
  builtin::RegisterBuiltinKinds(registry);
  // Every registered plug-in kind is a row of the table, in the table's order.
  size_t next = 0;
  std::vector<std::string> names;
  for (int32_t i = 0; i < registry.PlugKindCount(); ++i) {
    lv::PlugDesc* desc = registry.GetPlugKind(i);
    names.push_back(desc->GetName());
    while (next < std::size(kPlugKinds) && std::strcmp(kPlugKinds[next].name, desc->GetName()) != 0) ++next;
    ASSERT_LT(next, std::size(kPlugKinds)) << desc->GetName() << " out of order";
    const Row& row = kPlugKinds[next];
    EXPECT_EQ(desc->GetKind(), row.kind) << row.name;
    EXPECT_STREQ(desc->GetCategory(), row.category);
    EXPECT_STREQ(desc->GetDescription(), row.description);
    EXPECT_EQ(std::memcmp(desc->GetClassId(), row.id, 16), 0) << row.name;
    EXPECT_EQ(registry.GetPlugKindModule(i), builtin::ProgramModule());

    // An instance answers with its kind's identity.
    lv::Plug* plug = registry.CreatePlug(desc);
    ASSERT_NE(plug, nullptr);
    EXPECT_EQ(plug->GetKind(), row.kind);
    EXPECT_EQ(*plug->GetClassId(), *desc->GetClassId());
    delete plug;
    ++next;
  }
  for (const char* mine : {"ShowBMP", "Color Fill", "Warp Source"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), mine), names.end()) << mine;
  }
  // The descriptors are made once.
  lv::PlugRegistry again;
  builtin::RegisterBuiltinKinds(again);
  EXPECT_EQ(again.GetPlugKind(0), registry.GetPlugKind(0));
}

}  // namespace
