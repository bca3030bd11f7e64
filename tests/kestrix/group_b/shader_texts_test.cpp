// The shader texts of these effects compile cleanly for every entry point
// the classes ask for: any compiler message would be shown to the user each
// time a patch is made.
#include <gtest/gtest.h>

#include "platform/gfx/shader_compiler.h"
#include "platform/sys/resources.h"

namespace {

TEST(GroupBShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const struct {
    uint32_t resource;
    const char* entry;
    const char* stage;  // profile prefix
  } entries[] = {
      {129, "vs_main", "vs"}, {129, "ps_passthrough", "ps"}, {129, "ps_colorkey", "ps"},
      {126, "vs_smooth", "vs"}, {126, "ps_smooth", "ps"},
      {127, "vs_main", "vs"}, {127, "ps_main", "ps"},
      {107, "vs_main", "vs"}, {107, "ps_passthrough", "ps"}, {107, "ps_colorkey", "ps"},
      {113, "vs_main", "vs"}, {113, "ps_hatch", "ps"}, {113, "ps_hatch_keyed", "ps"},
      {119, "vs_main", "vs"}, {119, "ps_passthrough", "ps"}, {119, "ps_colorkey", "ps"},
      {119, "ps_screen", "ps"}, {119, "ps_screen_colorkey", "ps"}, {119, "ps_lumaalpha", "ps"},
      {131, "vs_main", "vs"}, {131, "ps_shuffle", "ps"}, {131, "ps_shuffle_keyed", "ps"},
      {135, "vs_main", "vs"}, {135, "ps_shuffle", "ps"},
      {146, "vs_main", "vs"}, {146, "ps_passthrough", "ps"},
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
