#include "glsl_translator.h"

#include <spirv_cross/spirv_glsl.hpp>

#include <algorithm>
#include <set>

#include "hlsl_front_end.h"
#include "semantics.h"

namespace gfx::shader {
namespace {

using spirv_cross::CompilerGLSL;
using spirv_cross::SPIRType;

constexpr std::string_view kSourceName = "shader";

// A varying narrower than vec4, or an interpolated pixel-stage input: the GL
// interface carries a vec4 (so that stages declaring it with different widths
// still link, as Direct3D allows) and main copies between it and the shader's
// own variable; an interpolated input is read at Direct3D's pixel centre
// (see kPixelCentreStep), except while points are drawn (kPointDrawUniform).
struct WidenedVarying {
  std::string inner;   // name the translated code uses
  std::string outer;   // the vec4 interface name
  int components = 4;
  bool output = false;
  bool interpolated = false;  // an input read at Direct3D's pixel centre
  bool declared = false;      // found in the translated text
};

// By component count: the GLSL float type, and the swizzle that takes that
// many components of a vec4.
constexpr const char* kFloatTypes[] = {"", "float", "vec2", "vec3", "vec4"};
constexpr const char* kFirstComponents[] = {"", ".x", ".xy", ".xyz", ""};

// A pixel input read from gl_FragCoord: a plain global that main fills.
struct FragmentPosition {
  std::string name;
  int components = 4;
};

class Translator {
 public:
  Translator(const TranslateInput& input, ShaderCode& code, std::string& messages)
      : input_(input), code_(code), messages_(messages), compiler_(*input.spirv) {}

  bool Run() {
    try {
      resources_ = compiler_.get_shader_resources();
      if (!PatchInterface() || !ReflectConstants() || !AssignSamplers()) return false;
      CompilerGLSL::Options options;
      options.version = 450;
      options.es = false;
      options.vertex.fixup_clipspace = false;
      options.vertex.flip_vert_y = false;
      compiler_.set_common_options(options);
      std::string glsl = compiler_.compile();
      code_.glsl = PostProcess(std::move(glsl));
      SortConstants();
      return true;
    } catch (const std::exception& e) {
      Error(std::string("translation failed: ") + e.what());
      return false;
    }
  }

 private:
  void Error(std::string_view text) { messages_ += FormatMessage(kSourceName, 0, true, text); }

  const GlobalDeclaration* FindGlobal(std::string_view name) const {
    for (const GlobalDeclaration& g : *input_.globals)
      if (g.name == name) return &g;
    return nullptr;
  }

  int DeclarationIndex(std::string_view name) const {
    for (size_t i = 0; i < input_.globals->size(); ++i)
      if ((*input_.globals)[i].name == name) return static_cast<int>(i);
    return static_cast<int>(input_.globals->size());
  }

  // The explicit register of a global in this stage's register set, if any.
  std::optional<int> ExplicitRegister(std::string_view name, char set) const {
    const GlobalDeclaration* g = FindGlobal(name);
    if (!g) return std::nullopt;
    const char* stagePrefix = input_.stage == ShaderStage::Vertex ? "vs" : "ps";
    for (const RegisterAnnotation& r : g->registers) {
      if (r.set != set) continue;
      if (!r.profile.empty() && r.profile.rfind(stagePrefix, 0) != 0) continue;
      return r.index;
    }
    return std::nullopt;
  }

  std::string SemanticOf(spirv_cross::ID id) const {
    return compiler_.get_decoration_string(id, spv::DecorationUserSemantic);
  }

  void MaybeWiden(const spirv_cross::Resource& r, const std::string& outer, bool output) {
    const SPIRType& type = compiler_.get_type(r.type_id);
    const bool floatVector = type.basetype == SPIRType::Float && type.columns == 1 && type.array.empty();
    const bool interpolated = !output && !compiler_.has_decoration(r.id, spv::DecorationFlat);
    if (floatVector && (type.vecsize < 4 || interpolated)) {
      std::string inner = "lv_" + outer.substr(outer.find('_') + 1);
      compiler_.set_name(r.id, inner);
      widened_.push_back({inner, outer, static_cast<int>(type.vecsize), output, interpolated});
    } else {
      compiler_.set_name(r.id, outer);
    }
  }

  void MakeBuiltIn(const spirv_cross::Resource& r, spv::BuiltIn builtIn) {
    compiler_.unset_decoration(r.id, spv::DecorationLocation);
    compiler_.set_decoration(r.id, spv::DecorationBuiltIn, builtIn);
  }

  // A pixel input of the position (often in the struct the vertex stage
  // returns) is the pixel's own position, as Direct3D 9 gives it: whole
  // numbers from the top-left pixel, which is where gl_FragCoord's centre
  // lies minus half a pixel (the targets keep row 0 at the top). Unread, it
  // costs nothing: it is no varying, and GL drops the unused copy.
  bool MakeFragmentPosition(const spirv_cross::Resource& r, const std::string& key) {
    const SPIRType& type = compiler_.get_type(r.type_id);
    if (type.basetype != SPIRType::Float || type.columns != 1 || !type.array.empty()) {
      Error("pixel shader input " + key + " must be a float vector");
      return false;
    }
    const std::string name = "lv_" + key;
    compiler_.set_name(r.id, name);
    compiler_.unset_decoration(r.id, spv::DecorationLocation);  // no varying: see PostProcess
    fragmentPositions_.push_back({name, static_cast<int>(type.vecsize)});
    return true;
  }

  bool PatchInterface() {
    const bool vertex = input_.stage == ShaderStage::Vertex;
    std::set<std::string> seen;
    int nextInput = 0;
    for (const spirv_cross::Resource& r : resources_.stage_inputs) {
      Semantic s = ParseSemantic(SemanticOf(r.id));
      std::string key = s.name + std::to_string(s.index);
      if (!seen.insert(key).second) {
        Error("input semantic " + key + " is used twice");
        return false;
      }
      if (vertex) {
        // Vertex inputs are found by semantic by the device, which binds them
        // to declaration elements.
        int location = nextInput++;
        compiler_.set_decoration(r.id, spv::DecorationLocation, location);
        compiler_.set_name(r.id, "in_" + key);
        code_.inputs.push_back({s.name, s.index, location});
        continue;
      }
      if ((s.name == "POSITION" && s.index == 0) || (s.name == "VPOS" && s.index == 0)) {
        if (!MakeFragmentPosition(r, key)) return false;
        continue;
      }
      std::optional<int> location = VaryingLocation(s);
      if (!location) {
        Error("pixel shader input semantic " + key + " is not supported");
        return false;
      }
      compiler_.set_decoration(r.id, spv::DecorationLocation, *location);
      MaybeWiden(r, VaryingName(s), false);
      code_.varyings.push_back({s.name, s.index, *location});
    }
    seen.clear();
    for (const spirv_cross::Resource& r : resources_.stage_outputs) {
      Semantic s = ParseSemantic(SemanticOf(r.id));
      std::string key = s.name + std::to_string(s.index);
      if (!seen.insert(key).second) {
        Error("output semantic " + key + " is used twice");
        return false;
      }
      // The front end leaves these as plain outputs when they are members of
      // a returned struct (and the position always).
      if (vertex && s.name == "POSITION" && s.index == 0) {
        MakeBuiltIn(r, spv::BuiltInPosition);
        hasPosition_ = true;
        continue;
      }
      if (vertex && s.name == "PSIZE") {
        MakeBuiltIn(r, spv::BuiltInPointSize);
        continue;
      }
      if (!vertex && s.name == "DEPTH") {
        MakeBuiltIn(r, spv::BuiltInFragDepth);
        continue;
      }
      if (vertex) {
        std::optional<int> location = VaryingLocation(s);
        if (!location) {
          Error("vertex shader output semantic " + key + " is not supported");
          return false;
        }
        compiler_.set_decoration(r.id, spv::DecorationLocation, *location);
        MaybeWiden(r, VaryingName(s), true);
        code_.varyings.push_back({s.name, s.index, *location});
        continue;
      }
      if (s.name == "COLOR" && s.index < 4) {
        compiler_.set_decoration(r.id, spv::DecorationLocation, s.index);
        compiler_.set_name(r.id, "out_" + key);
        continue;
      }
      Error("pixel shader output semantic " + key + " is not supported");
      return false;
    }
    for (const spirv_cross::BuiltInResource& b : resources_.builtin_outputs)
      if (b.builtin == spv::BuiltInPosition) hasPosition_ = true;
    return true;
  }

  // One numeric global (or struct member) at `offset` in the block.
  bool AddConstant(const std::string& name, const std::string& topName, uint32_t typeId, uint32_t offset,
                   uint32_t arrayStride, uint32_t matrixStride, bool rowMajor) {
    const SPIRType& type = compiler_.get_type(typeId);
    int elements = 1;
    for (uint32_t n : type.array) elements *= static_cast<int>(n);
    if (type.basetype == SPIRType::Struct) {
      // Struct globals appear as their members, "name.member" (and
      // "name[i].member" for arrays), each in registers of its own.
      for (int e = 0; e < elements; ++e) {
        std::string prefix = name + (type.array.empty() ? "" : "[" + std::to_string(e) + "]") + ".";
        for (uint32_t m = 0; m < type.member_types.size(); ++m) {
          const SPIRType& mt = compiler_.get_type(type.member_types[m]);
          uint32_t stride = mt.array.empty() ? 0 : compiler_.type_struct_member_array_stride(type, m);
          uint32_t mstride = mt.columns > 1 ? compiler_.type_struct_member_matrix_stride(type, m) : 0;
          if (!AddConstant(prefix + compiler_.get_member_name(type.self, m), topName, type.member_types[m],
                           offset + e * arrayStride + compiler_.type_struct_member_offset(type, m), stride, mstride,
                           compiler_.has_member_decoration(type.self, m, spv::DecorationRowMajor)))
            return false;
        }
      }
      return true;
    }
    ShaderConstant c;
    c.name = name;
    c.elements = elements;
    c.blockOffset = offset;
    c.arrayStride = type.array.empty() ? 0 : arrayStride;
    c.matrixStride = matrixStride;
    c.rowMajor = rowMajor;
    const GlobalDeclaration* g = FindGlobal(topName);
    const bool declaredBool = g && g->type.rfind("bool", 0) == 0;
    switch (type.basetype) {
      case SPIRType::Float:
      case SPIRType::Half:
        c.type = ConstantType::Float;
        break;
      case SPIRType::Int:
        c.type = ConstantType::Int;
        break;
      case SPIRType::UInt:
        c.type = declaredBool ? ConstantType::Bool : ConstantType::Int;
        break;
      case SPIRType::Boolean:
        c.type = ConstantType::Bool;
        break;
      default:
        Error("global '" + name + "' has a type constant registers cannot hold");
        return false;
    }
    int registersPerElement = 1;
    if (type.columns > 1) {
      // The front end holds an HLSL RxC matrix as a SPIR-V matrix of R
      // columns of C components; column_major (the default) is RowMajor.
      c.rows = static_cast<int>(type.columns);
      c.columns = static_cast<int>(type.vecsize);
      c.cls = rowMajor ? ConstantClass::MatrixColumns : ConstantClass::MatrixRows;
      registersPerElement = rowMajor ? c.columns : c.rows;
    } else {
      c.rows = 1;
      c.columns = static_cast<int>(type.vecsize);
      c.cls = type.vecsize > 1 ? ConstantClass::Vector : ConstantClass::Scalar;
    }
    c.registerCount = registersPerElement * elements;
    c.registerIndex = -1;
    code_.constants.push_back(std::move(c));
    topNames_.push_back(topName);
    return true;
  }

  bool ReflectConstants() {
    const spirv_cross::Resource* block = nullptr;
    for (const spirv_cross::Resource& r : resources_.uniform_buffers) {
      if (block) {
        Error("only the global constants of the shader are supported, not constant buffers");
        return false;
      }
      block = &r;
    }
    if (!block) return true;
    const bool vertex = input_.stage == ShaderStage::Vertex;
    const SPIRType& type = compiler_.get_type(block->base_type_id);
    code_.uniformBlock = vertex ? "VertexConstants" : "PixelConstants";
    code_.uniformBinding = vertex ? 0 : 1;
    code_.uniformBlockSize = static_cast<uint32_t>(compiler_.get_declared_struct_size(type));
    compiler_.set_name(block->base_type_id, code_.uniformBlock);
    compiler_.set_name(block->id, vertex ? "vc" : "pc");
    compiler_.set_decoration(block->id, spv::DecorationBinding, code_.uniformBinding);
    compiler_.set_decoration(block->id, spv::DecorationDescriptorSet, 0);

    // Every global of the text is a member of the block; the entry point
    // reads those its code (and the functions it calls) reaches.
    std::set<uint32_t> readMembers;
    for (const spirv_cross::BufferRange& range : compiler_.get_active_buffer_ranges(block->id))
      readMembers.insert(range.index);
    for (uint32_t m = 0; m < type.member_types.size(); ++m) {
      const SPIRType& mt = compiler_.get_type(type.member_types[m]);
      std::string name = compiler_.get_member_name(block->base_type_id, m);
      if (!AddConstant(name, name, type.member_types[m], compiler_.type_struct_member_offset(type, m),
                       mt.array.empty() ? 0 : compiler_.type_struct_member_array_stride(type, m),
                       mt.columns > 1 ? compiler_.type_struct_member_matrix_stride(type, m) : 0,
                       compiler_.has_member_decoration(block->base_type_id, m, spv::DecorationRowMajor)))
        return false;
      read_.resize(code_.constants.size(), readMembers.count(m) > 0);
    }
    if (!AssignRegisters()) return false;
    DropUnreadConstants();
    return true;
  }

  // The constant table lists only what the entry point reads, as the
  // original compiler's does; the block keeps the others, unfilled.
  void DropUnreadConstants() {
    size_t kept = 0;
    for (size_t i = 0; i < code_.constants.size(); ++i) {
      if (!read_[i]) continue;
      if (kept != i) {
        code_.constants[kept] = std::move(code_.constants[i]);
        topNames_[kept] = std::move(topNames_[i]);
      }
      ++kept;
    }
    code_.constants.resize(kept);
    topNames_.resize(kept);
  }

  // Explicit registers first, then every other global the entry point reads,
  // in declaration order, into the first registers free, as the original
  // compiler does. A global the entry does not read takes no register unless
  // the text binds it to one: that binding is still checked and still holds
  // its registers, so a constant lands where it does in an entry that reads
  // every global before it. A struct global (its members are consecutive
  // constants) takes one run of registers.
  bool AssignRegisters() {
    const int limit = input_.stage == ShaderStage::Vertex ? kVertexConstantRegisters : kPixelConstantRegisters;
    struct Group {
      size_t first, end;  // constants [first, end)
      int registers = 0;
    };
    std::vector<Group> groups;
    for (size_t i = 0; i < code_.constants.size(); ++i) {
      if (groups.empty() || topNames_[groups.back().first] != topNames_[i]) groups.push_back({i, i});
      groups.back().end = i + 1;
      groups.back().registers += code_.constants[i].registerCount;
    }
    std::vector<int> owner(limit, -1);
    auto claim = [&](const Group& g, int start) {
      const std::string& name = topNames_[g.first];
      if (start < 0 || start + g.registers > limit) {
        Error("register c" + std::to_string(start) + " of '" + name + "' is out of range");
        return false;
      }
      for (int r = start; r < start + g.registers; ++r)
        if (owner[r] >= 0) {
          Error("register c" + std::to_string(r) + " of '" + name + "' is already used by '" + topNames_[owner[r]] + "'");
          return false;
        }
      std::fill(owner.begin() + start, owner.begin() + start + g.registers, static_cast<int>(g.first));
      for (size_t i = g.first; i < g.end; ++i) {
        code_.constants[i].registerIndex = start;
        start += code_.constants[i].registerCount;
      }
      return true;
    };
    for (const Group& g : groups)
      if (std::optional<int> reg = ExplicitRegister(topNames_[g.first], 'c'))
        if (!claim(g, *reg)) return false;
    for (const Group& g : groups) {
      if (code_.constants[g.first].registerIndex >= 0 || !read_[g.first]) continue;
      int start = 0;
      while (start + g.registers <= limit &&
             std::any_of(owner.begin() + start, owner.begin() + start + g.registers, [](int o) { return o >= 0; }))
        ++start;
      if (start + g.registers > limit) {
        Error("the constants need more than the " + std::to_string(limit) + " registers of the stage");
        return false;
      }
      if (!claim(g, start)) return false;
    }
    return true;
  }

  // Per sampled image of resources_: whether the code reads it. A sampler
  // variable is only ever reached through a load, an access chain (arrays)
  // or as a call argument; a look at those instructions is much cheaper
  // than the translator's walk of every function.
  std::vector<bool> SamplersRead() const {
    const std::vector<uint32_t>& words = *input_.spirv;
    const auto& images = resources_.sampled_images;
    std::vector<bool> read(images.size(), false);
    auto mark = [&](uint32_t id) {
      for (size_t k = 0; k < images.size(); ++k)
        if (images[k].id == id) read[k] = true;
    };
    constexpr size_t kHeaderWords = 5;
    for (size_t at = kHeaderWords; at < words.size();) {
      const uint32_t count = words[at] >> 16;
      const auto op = static_cast<spv::Op>(words[at] & 0xFFFF);
      if (count == 0 || at + count > words.size()) break;
      if ((op == spv::OpLoad || op == spv::OpAccessChain || op == spv::OpInBoundsAccessChain ||
           op == spv::OpCopyObject) && count > 3)
        mark(words[at + 3]);
      else if (op == spv::OpFunctionCall)
        for (uint32_t w = 4; w < count; ++w) mark(words[at + w]);
      at += count;
    }
    return read;
  }

  // As the Direct3D 9 compiler does: a sampler the shader never reads has no
  // register; the others keep their register(sN) and the rest take the free
  // units in declaration order.
  bool AssignSamplers() {
    if (!resources_.separate_images.empty() || !resources_.separate_samplers.empty()) {
      Error("separate texture and sampler objects are not supported; use sampler2D and tex2D");
      return false;
    }
    const std::vector<bool> read = SamplersRead();
    // GL has one name space of uniforms for the program, Direct3D one set of
    // sampler registers per shader: a sampler declared in both stages gets
    // the unit of its register in each, under a name of each stage's own.
    const char* prefix = input_.stage == ShaderStage::Vertex ? "lv_vsampler_" : "lv_psampler_";
    std::vector<spirv_cross::Resource> samplers;
    std::vector<bool> used(kSamplerUnits, false);
    std::vector<int> units;
    for (size_t k = 0; k < resources_.sampled_images.size(); ++k) {
      const spirv_cross::Resource& r = resources_.sampled_images[k];
      compiler_.set_name(r.id, prefix + r.name);
      std::optional<int> unit = ExplicitRegister(r.name, 's');
      if (unit && (*unit >= kSamplerUnits || used[*unit])) {
        Error("sampler register s" + std::to_string(*unit) + " of '" + r.name + "' is " +
              (*unit >= kSamplerUnits ? "out of range" : "already used"));
        return false;
      }
      if (unit) used[*unit] = true;
      if (!read[k]) continue;
      samplers.push_back(r);
      units.push_back(unit.value_or(-1));
    }
    std::vector<size_t> order(samplers.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return DeclarationIndex(samplers[a].name) < DeclarationIndex(samplers[b].name);
    });
    for (size_t i : order) {
      if (units[i] >= 0) continue;
      auto free = std::find(used.begin(), used.end(), false);
      if (free == used.end()) {
        Error("more than " + std::to_string(kSamplerUnits) + " samplers");
        return false;
      }
      *free = true;
      units[i] = static_cast<int>(free - used.begin());
    }
    for (size_t i = 0; i < samplers.size(); ++i) {
      const spirv_cross::Resource& r = samplers[i];
      compiler_.set_decoration(r.id, spv::DecorationBinding, units[i]);
      compiler_.set_decoration(r.id, spv::DecorationDescriptorSet, 0);
      const SPIRType& type = compiler_.get_type(r.type_id);
      ShaderConstant c;
      c.name = r.name;
      c.cls = ConstantClass::Object;
      switch (type.image.dim) {
        case spv::Dim1D: c.type = ConstantType::Sampler1D; break;
        case spv::Dim3D: c.type = ConstantType::Sampler3D; break;
        case spv::DimCube: c.type = ConstantType::SamplerCube; break;
        default: c.type = ConstantType::Sampler2D; break;
      }
      c.registerIndex = units[i];
      c.registerCount = 1;
      if (const GlobalDeclaration* g = FindGlobal(r.name)) c.samplerStates = g->samplerStates;
      code_.constants.push_back(std::move(c));
      topNames_.push_back(r.name);
    }
    return true;
  }

  void SortConstants() {
    std::vector<size_t> order(code_.constants.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return DeclarationIndex(topNames_[a]) < DeclarationIndex(topNames_[b]); });
    std::vector<ShaderConstant> sorted;
    for (size_t i : order) sorted.push_back(std::move(code_.constants[i]));
    code_.constants = std::move(sorted);
  }

  static std::string Fill(const WidenedVarying& w) {
    static const char* kFill[] = {"", "0.0, 0.0, 1.0", "0.0, 1.0", "1.0"};
    return "vec4(" + w.inner + ", " + kFill[w.components] + ")";
  }

  std::string PostProcess(std::string glsl) {
    const bool vertex = input_.stage == ShaderStage::Vertex;
    // The widened varyings' declarations: a vec4 interface and the shader's own.
    std::string header;
    for (WidenedVarying& w : widened_) {
      std::string declared = std::string(" ") + kFloatTypes[w.components] + " " + w.inner + ";";
      size_t at = glsl.find(declared);
      if (at == std::string::npos) continue;  // not declared: nothing to copy
      w.declared = true;
      glsl.replace(at, declared.size(), " vec4 " + w.outer + ";\n" + kFloatTypes[w.components] + " " + w.inner + ";");
    }
    std::string prologue;
    for (const FragmentPosition& f : fragmentPositions_) {
      const std::string declared = std::string(" ") + kFloatTypes[f.components] + " " + f.name + ";";
      const size_t at = glsl.find(declared);
      if (at == std::string::npos) continue;
      const size_t lineStart = glsl.rfind('\n', at) + 1;  // npos + 1 == 0
      glsl.replace(lineStart, at + declared.size() - lineStart, declared.substr(1));
      prologue += "    " + f.name + " = vec4(gl_FragCoord.xy - vec2(0.5), gl_FragCoord.z, 1.0 / gl_FragCoord.w)" +
                  kFirstComponents[f.components] + ";\n";
    }
    size_t mainAt = glsl.find("\nvoid main()\n{\n");
    size_t mainEnd = glsl.rfind('}');
    if (mainAt == std::string::npos || mainEnd == std::string::npos || mainEnd < mainAt) return glsl;
    std::string epilogue;
    bool readsAtCentre = false;
    for (const WidenedVarying& w : widened_) {
      if (!w.declared) continue;
      if (w.output) {
        epilogue += "    " + w.outer + " = " + Fill(w) + ";\n";
      } else {
        readsAtCentre = readsAtCentre || w.interpolated;
        const std::string value = w.interpolated ? PixelInputGlsl(w.outer) : w.outer;
        prologue += "    " + w.inner + " = " + value + kFirstComponents[w.components] + ";\n";
      }
    }
    if (readsAtCentre) header += std::string("uniform bool ") + kPointDrawUniform + ";\n";
    if (vertex) {
      header += std::string("uniform vec2 ") + kPixelFixUniform + ";\n";
      if (hasPosition_) epilogue += std::string("    gl_Position.xy += ") + kPixelFixUniform + " * gl_Position.w;\n";
      code_.pixelFixUniform = kPixelFixUniform;
    }
    glsl.insert(mainEnd, epilogue);
    glsl.insert(mainAt + std::string_view("\nvoid main()\n{\n").size(), prologue);
    glsl.insert(mainAt + 1, header + "\n");
    return glsl;
  }

  const TranslateInput& input_;
  ShaderCode& code_;
  std::string& messages_;
  CompilerGLSL compiler_;
  spirv_cross::ShaderResources resources_;
  std::vector<std::string> topNames_;  // per constant: the global it belongs to
  std::vector<bool> read_;             // per numeric constant: read by the entry point
  std::vector<WidenedVarying> widened_;
  std::vector<FragmentPosition> fragmentPositions_;
  bool hasPosition_ = false;
};

}  // namespace

bool TranslateToGlsl(const TranslateInput& input, ShaderCode& code, std::string& messages) {
  return Translator(input, code, messages).Run();
}

}  // namespace gfx::shader
