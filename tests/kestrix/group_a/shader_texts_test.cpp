// This group's shader texts compile cleanly for every entry point its
// classes ask for: a compiler message would be shown each time a patch is made.
#include <gtest/gtest.h>

#include "platform/gfx/shader_compiler.h"
#include "platform/sys/resources.h"

namespace {

TEST(KestrixGroupAShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const struct {
    uint32_t resource;
    const char* entry;
    const char* stage;  // profile prefix
  } entries[] = {
      {119, "vs_main", "vs"}, {119, "ps_passthrough", "ps"}, {119, "ps_colorkey", "ps"}, {119, "ps_lumaalpha", "ps"},
      {119, "ps_screen", "ps"}, {119, "ps_screen_colorkey", "ps"},
      {109, "vs_main", "vs"}, {109, "ps_main", "ps"},
      {134, "vs_main", "vs"}, {134, "ps_main", "ps"},
      {111, "vs_main", "vs"}, {111, "ps_colorkey", "ps"},
      {108, "vs_pass1", "vs"}, {108, "vs_pass2Horiz", "vs"}, {108, "vs_pass2Vert", "vs"},
      {108, "ps_pass1Glow", "ps"}, {108, "ps_pass1Blur", "ps"}, {108, "ps_pass2Horiz", "ps"}, {108, "ps_pass2Vert", "ps"},
      {137, "vs_main", "vs"}, {137, "ps_Normal", "ps"}, {137, "ps_Dissolve", "ps"}, {137, "ps_Darken", "ps"},
      {137, "ps_Multiply", "ps"}, {137, "ps_Burn", "ps"}, {137, "ps_Lighten", "ps"}, {137, "ps_Screen", "ps"},
      {137, "ps_Dodge", "ps"}, {137, "ps_Overlay", "ps"}, {137, "ps_SoftLight", "ps"}, {137, "ps_HardLight", "ps"},
      {137, "ps_PinLight", "ps"}, {137, "ps_Difference", "ps"}, {137, "ps_Exclusion", "ps"},
  };
  for (const auto& e : entries) {
    const sys::Resource text = sys::FindResource(sys::kResourceShader, e.resource);
    ASSERT_TRUE(text) << e.resource;
    for (const char* model : {"_2_0", "_3_0"}) {
      gfx::ShaderCompileRequest request;
      request.source = text.Text();
      request.entryPoint = e.entry;
      request.profile = std::string(e.stage) + model;
      const gfx::ShaderCompileResult result = gfx::CompileShader(request);
      EXPECT_TRUE(result.code) << e.resource << " " << e.entry << " " << request.profile;
      EXPECT_EQ(result.messages, "") << e.resource << " " << e.entry << " " << request.profile;
    }
  }
}

}  // namespace
