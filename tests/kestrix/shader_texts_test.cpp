// The library's shader texts (embedded here from the library's resource
// folder) compile cleanly for every entry point its classes ask for: any
// compiler message would be shown to the user each time a patch is made.
#include <gtest/gtest.h>

#include "platform/gfx/shader_compiler.h"
#include "platform/sys/resources.h"

namespace {

TEST(KestrixShaderTexts, EveryEntryPointCompilesWithoutMessages) {
  const struct {
    uint32_t resource;
    const char* entry;
    const char* stage;  // profile prefix
  } entries[] = {
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
