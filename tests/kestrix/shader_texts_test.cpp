// The library's shader texts (embedded here from the library's resource
// folder) compile cleanly for every entry point its classes ask for: any
// compiler message would be shown to the user each time a patch is made.
#include <gtest/gtest.h>

#include <span>

#include "platform/gfx/shader_compiler.h"
#include "platform/sys/resources.h"

namespace {

struct EntryPoint {
  uint32_t resource;
  const char* entry;
  const char* stage;  // profile prefix
};

void ExpectCleanCompiles(std::span<const EntryPoint> entries) {
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

TEST(KestrixShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const EntryPoint entries[] = {
      {106, "vs_main", "vs"},        {106, "ps_passthrough", "ps"}, {106, "ps_colorkey", "ps"},
      {110, "vs_main", "vs"},        {110, "ps_invert", "ps"},      {110, "ps_invertbright", "ps"},
      {150, "vs_main", "vs"},        {150, "ps_main", "ps"},
      {112, "vs_main", "vs"},        {112, "ps_passthrough", "ps"}, {112, "ps_colorkey", "ps"},
      {141, "vs_main", "vs"},        {141, "vs_doubleside_lit", "vs"}, {141, "ps_passthrough", "ps"},
      {141, "ps_colorkey", "ps"},    {12321, "vs_main", "vs"},      {12321, "vs_lit", "vs"},
      {12321, "vs_doubleside_lit", "vs"}, {12321, "ps_passthrough", "ps"}, {12321, "ps_colorkey", "ps"},
      {147, "vs_main", "vs"},        {147, "ps_main", "ps"},
      {145, "vs_lit", "vs"},         {145, "vs_lit_projected", "vs"}, {145, "ps_colored", "ps"},
      {145, "ps_textured", "ps"},
      {130, "vs_main", "vs"},        {130, "ps_plasmalife", "ps"},  {130, "ps_plasmashow", "ps"},
      {148, "vs_main", "vs"},        {148, "vs_clear", "vs"},       {148, "ps_main", "ps"},
      {149, "vs_main", "vs"},        {149, "ps_main", "ps"},
      {136, "vs_main", "vs"},        {136, "ps_passthrough", "ps"}, {136, "ps_colorkey", "ps"},
      {143, "vs_lit", "vs"},         {143, "vs_lit_shiny", "vs"},   {143, "ps_passthrough", "ps"},
      {143, "ps_shiny", "ps"},
  };
  ExpectCleanCompiles(entries);
}

// Fade, HSV Modify, Chroma Key, Wipe, Blur, Glow and Blend.
TEST(EffectShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const EntryPoint entries[] = {
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
  ExpectCleanCompiles(entries);
}

// Solarize, Smooth, Outline, Kaleidoscope, Cross-Hatch, Radial Blur, the two
// Shuffles and Tile.
TEST(FilterShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const EntryPoint entries[] = {
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
  ExpectCleanCompiles(entries);
}

}  // namespace
