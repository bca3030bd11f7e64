#include "effect_syntax.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

namespace gfx::shader {
namespace {

enum class TokenKind { Identifier, Number, String, Punct };

struct Token {
  TokenKind kind;
  std::string_view text;
  size_t begin;
  size_t end;
  int line;
};

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Tokens of the text from `start` on, outside comments and preprocessor lines.
std::vector<Token> Tokenize(std::string_view s, size_t start) {
  std::vector<Token> tokens;
  size_t i = start;
  int line = 1;
  bool lineStart = true;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\n') {
      ++line;
      ++i;
      lineStart = true;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
      while (i < s.size() && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      i += 2;
      while (i < s.size() && !(s[i] == '*' && i + 1 < s.size() && s[i + 1] == '/')) {
        if (s[i] == '\n') ++line;
        ++i;
      }
      i = std::min(s.size(), i + 2);
      continue;
    }
    if (c == '#' && lineStart) {
      // A preprocessor line, with its continuations.
      while (i < s.size() && s[i] != '\n') {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\n') {
          ++line;
          ++i;
        }
        ++i;
      }
      continue;
    }
    lineStart = false;
    size_t begin = i;
    TokenKind kind = TokenKind::Punct;
    if (IsIdentStart(c)) {
      kind = TokenKind::Identifier;
      while (i < s.size() && IsIdentChar(s[i])) ++i;
    } else if (std::isdigit(static_cast<unsigned char>(c)) ||
               (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      kind = TokenKind::Number;
      while (i < s.size() && (IsIdentChar(s[i]) || s[i] == '.' ||
                              ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E'))))
        ++i;
    } else if (c == '"') {
      kind = TokenKind::String;
      ++i;
      while (i < s.size() && s[i] != '"' && s[i] != '\n') {
        if (s[i] == '\\') ++i;
        ++i;
      }
      i = std::min(s.size(), i + 1);
    } else {
      ++i;
    }
    tokens.push_back({kind, s.substr(begin, i - begin), begin, i, line});
  }
  return tokens;
}

bool IsEffectOnlyType(std::string_view word) {
  static constexpr std::string_view kTypes[] = {
      "texture", "Texture", "texture1D", "texture2D", "texture3D", "textureCUBE", "Texture1D_DX9",
      "string", "VertexShader", "PixelShader", "vertexshader", "pixelshader", "stateblock"};
  return std::find(std::begin(kTypes), std::end(kTypes), word) != std::end(kTypes);
}

bool IsQualifier(std::string_view word) {
  static constexpr std::string_view kWords[] = {"uniform", "extern", "static", "const", "shared",
                                                "volatile", "row_major", "column_major", "inline"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

class Stripper {
 public:
  // Editors on Windows start UTF-8 files with a byte-order mark, which the
  // Direct3D 9 compiler passes over; it becomes blanks here.
  explicit Stripper(std::string_view source)
      : tokens_(Tokenize(source, source.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0)) {
    result_.text = std::string(source);
    if (source.starts_with(kUtf8ByteOrderMark)) result_.text.replace(0, kUtf8ByteOrderMark.size(), kUtf8ByteOrderMark.size(), ' ');
    FindClosingBrackets();
    // Every form rewritten has a '[' or a loop; most texts have neither.
    mayNeedRewrites_ = source.find('[') != std::string_view::npos || source.find("for") != std::string_view::npos;
  }

  CleanedSource Run() {
    size_t i = 0;
    while (i < tokens_.size() && result_.error.empty()) i = Statement(i);
    if (!result_.error.empty()) return std::move(result_);
    // Edits never overlap; made from the end, each leaves the offsets of the
    // ones before it as they were.
    std::sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
    for (const Edit& e : edits_) result_.text.replace(e.begin, e.end - e.begin, e.text);
    if (!helpers_.empty()) {
      // Guarded, so that the main text and its included files can each bring
      // the same helper; "#line 1" keeps the text's own line numbers.
      std::string prelude;
      for (const std::string& h : helpers_) prelude += h;
      result_.text.insert(0, prelude + "#line 1\n");
    }
    return std::move(result_);
  }

 private:
  bool Is(size_t i, std::string_view text) const { return i < tokens_.size() && tokens_[i].text == text; }

  void Fail(size_t i, std::string message) {
    if (!result_.error.empty()) return;
    result_.error = std::move(message);
    result_.errorLine = i < tokens_.size() ? tokens_[i].line : (tokens_.empty() ? 1 : tokens_.back().line);
  }

  // Blanks tokens [first, last] in the output, keeping line breaks.
  void Blank(size_t first, size_t last) {
    if (first >= tokens_.size() || last < first) return;
    last = std::min(last, tokens_.size() - 1);
    for (size_t p = tokens_[first].begin; p < tokens_[last].end; ++p)
      if (result_.text[p] != '\n') result_.text[p] = ' ';
  }

  // Index of the token closing the bracket opened at `open`.
  size_t Matching(size_t open) {
    std::string_view o = tokens_[open].text;
    if (o == "{" || o == "(" || o == "[") {
      if (closing_[open] < tokens_.size()) return closing_[open];
      Fail(open, "unexpected end of file: '" + std::string(o) + "' is not closed");
      return tokens_.size();
    }
    std::string_view c = ">";
    int depth = 0;
    for (size_t i = open; i < tokens_.size(); ++i) {
      if (tokens_[i].text == o) ++depth;
      if (tokens_[i].text == c && --depth == 0) return i;
    }
    Fail(open, "unexpected end of file: '" + std::string(o) + "' is not closed");
    return tokens_.size();
  }

  // Matching is asked for again and again while the text is walked: every
  // bracket's partner is found once. Each kind nests on its own, so "( }"
  // inside braces does not end them.
  void FindClosingBrackets() {
    closing_.assign(tokens_.size(), tokens_.size());
    std::vector<size_t> open[3];
    auto close = [&](std::vector<size_t>& opened, size_t at) {
      if (opened.empty()) return;
      closing_[opened.back()] = at;
      opened.pop_back();
    };
    for (size_t i = 0; i < tokens_.size(); ++i) {
      if (tokens_[i].kind != TokenKind::Punct) continue;
      switch (tokens_[i].text[0]) {
        case '{': open[0].push_back(i); break;
        case '(': open[1].push_back(i); break;
        case '[': open[2].push_back(i); break;
        case '}': close(open[0], i); break;
        case ')': close(open[1], i); break;
        case ']': close(open[2], i); break;
        default: break;
      }
    }
  }

  // Index just past the ';' ending the statement at `i` (braces, parentheses
  // and, where asked, annotations nested).
  size_t SkipToSemicolon(size_t i, bool annotations = false) {
    while (i < tokens_.size() && !Is(i, ";")) {
      if (Is(i, "{") || Is(i, "(") || Is(i, "[")) i = Matching(i);
      else if (annotations && Is(i, "<")) i = AnnotationEnd(i);
      if (i < tokens_.size()) ++i;
    }
    return std::min(tokens_.size(), i + 1);
  }

  size_t Statement(size_t i) {
    const Token& t = tokens_[i];
    if (t.kind != TokenKind::Identifier) return i + 1;  // stray ';' and the like
    if (t.text == "technique" || t.text == "technique10" || t.text == "technique11") {
      size_t open = i;
      while (open < tokens_.size() && !Is(open, "{")) ++open;
      if (open >= tokens_.size()) {
        Fail(i, "technique without a body");
        return tokens_.size();
      }
      size_t close = Matching(open);
      Blank(i, close);
      return close + 1;
    }
    if (t.text == "struct" || t.text == "cbuffer" || t.text == "tbuffer" || t.text == "typedef") {
      return SkipToSemicolon(i);
    }
    size_t typeAt = i;
    while (typeAt < tokens_.size() && IsQualifier(tokens_[typeAt].text)) ++typeAt;
    if (typeAt >= tokens_.size()) return typeAt;
    if (IsEffectOnlyType(tokens_[typeAt].text)) {
      size_t end = SkipToSemicolon(typeAt, true);
      Blank(i, end - 1);
      return end;
    }
    return Declaration(i, typeAt);
  }

  // A function or a declaration of globals starting at `first`, type at `typeAt`.
  size_t Declaration(size_t first, size_t typeAt) {
    std::string type(tokens_[typeAt].text);
    size_t i = typeAt + 1;
    if ((type == "vector" || type == "matrix") && Is(i, "<")) i = Matching(i) + 1;
    if (i >= tokens_.size() || tokens_[i].kind != TokenKind::Identifier) return SkipToSemicolon(first);
    if (Is(i + 1, "(")) {
      // A function: skip its parameters and body (or the ';' of a prototype).
      size_t close = Matching(i + 1);
      while (close < tokens_.size() && !Is(close, "{") && !Is(close, ";")) ++close;
      if (Is(close, "{")) {
        size_t open = close;
        close = Matching(open);
        if (close < tokens_.size() && mayNeedRewrites_) RewriteBody(open, close);
      }
      return close + 1;
    }
    // Declarators: name [dims] (: register(..) | : SEMANTIC)* <annotation>? (= init)? , ...
    while (i < tokens_.size() && result_.error.empty()) {
      if (tokens_[i].kind != TokenKind::Identifier) return SkipToSemicolon(i);
      GlobalDeclaration global;
      global.name = std::string(tokens_[i].text);
      global.type = type;
      ++i;
      const size_t dimsAt = i;
      while (Is(i, "[")) i = Matching(i) + 1;
      while (Is(i, ":")) {
        if (Is(i + 1, "register") && Is(i + 2, "(")) {
          size_t close = Matching(i + 2);
          ReadRegister(i + 3, close, global);
          Blank(i, close);
          i = close + 1;
        } else {
          i += 2;  // a semantic on a global: left to the front end
        }
      }
      if (Is(i, "<")) {
        size_t close = AnnotationEnd(i);
        Blank(i, close);
        i = close + 1;
      }
      if (Is(i, "=")) {
        if (Is(i + 1, "sampler_state") && Is(i + 2, "{")) {
          size_t close = Matching(i + 2);
          ReadSamplerStates(i + 3, close, global);
          Blank(i, close);
          i = close + 1;
        } else {
          ++i;
          if (Is(i, "{")) RegroupFlatInitialiser(typeAt, dimsAt, i);
          const size_t initialiser = i;
          while (i < tokens_.size() && !Is(i, ",") && !Is(i, ";")) {
            if (Is(i, "{") || Is(i, "(") || Is(i, "[")) i = Matching(i);
            ++i;
          }
          for (size_t k = initialiser; mayNeedRewrites_ && k < i && k < tokens_.size(); ++k) ArrayCast(k);
        }
      }
      result_.globals.push_back(std::move(global));
      if (Is(i, ",")) {
        ++i;
        continue;
      }
      if (Is(i, ";")) return i + 1;
      return SkipToSemicolon(i);
    }
    return i;
  }

  // Annotations hold declarations ending in ';' and never nest.
  size_t AnnotationEnd(size_t open) {
    for (size_t i = open + 1; i < tokens_.size(); ++i)
      if (Is(i, ">")) return i;
    Fail(open, "unexpected end of file in an annotation");
    return tokens_.size();
  }

  void ReadRegister(size_t first, size_t close, GlobalDeclaration& global) {
    RegisterAnnotation reg;
    size_t i = first;
    if (close > first + 1 && Is(first + 1, ",")) {
      reg.profile = std::string(tokens_[first].text);
      i = first + 2;
    }
    if (i >= close || tokens_[i].kind != TokenKind::Identifier || tokens_[i].text.size() < 2) {
      Fail(first, "invalid register annotation");
      return;
    }
    std::string_view r = tokens_[i].text;
    reg.set = static_cast<char>(std::tolower(static_cast<unsigned char>(r[0])));
    std::string digits(r.substr(1));
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) ||
        digits.size() > 4) {
      Fail(i, "invalid register '" + std::string(r) + "'");
      return;
    }
    reg.index = std::atoi(digits.c_str());
    global.registers.push_back(std::move(reg));
  }

  void ReadSamplerStates(size_t first, size_t close, GlobalDeclaration& global) {
    size_t i = first;
    while (i < close) {
      size_t end = i;
      while (end < close && !Is(end, ";")) ++end;
      if (end > i + 1 && Is(i + 1, "=")) {
        std::string value;
        for (size_t v = i + 2; v < end; ++v)
          if (!Is(v, "<") && !Is(v, ">") && !Is(v, "(") && !Is(v, ")")) value += tokens_[v].text;
        global.samplerStates.emplace_back(std::string(tokens_[i].text), std::move(value));
      }
      i = end + 1;
    }
  }

  // ---- Direct3D 9 forms the front end refuses, rewritten to equivalents ----

  // Components of a numeric type ("float2" 2, "float4x4" 16, "half" 1), 0
  // for anything else.
  static int Components(std::string_view type) {
    static constexpr std::string_view kScalars[] = {"float", "half", "double", "int", "uint", "bool", "dword"};
    for (std::string_view scalar : kScalars) {
      if (!type.starts_with(scalar)) continue;
      std::string_view shape = type.substr(scalar.size());
      auto digit = [](char c) { return c >= '1' && c <= '4'; };
      if (shape.empty()) return 1;
      if (shape.size() == 1 && digit(shape[0])) return shape[0] - '0';
      if (shape.size() == 3 && digit(shape[0]) && shape[1] == 'x' && digit(shape[2]))
        return (shape[0] - '0') * (shape[2] - '0');
      return 0;
    }
    return 0;
  }

  bool IsScalarType(std::string_view type) const {
    return Components(type) == 1 && std::isalpha(static_cast<unsigned char>(type.back()));
  }

  // `float2 a[3] = { 1, 2, 3, 4, 5, 6 }`: Direct3D 9 fills the elements from
  // the flat list in order; the front end wants one brace group per element.
  // Done when the list has exactly the scalars the array holds, or (size not
  // given) only numbers, as many as whole elements take.
  void RegroupFlatInitialiser(size_t typeAt, size_t dimsAt, size_t open) {
    const int components = Components(tokens_[typeAt].text);
    if (components < 2 || !Is(dimsAt, "[")) return;
    const size_t dimsClose = Matching(dimsAt);
    if (Is(dimsClose + 1, "[")) return;  // arrays of arrays: left as written
    std::optional<long> size;
    if (dimsClose == dimsAt + 2 && tokens_[dimsAt + 1].kind == TokenKind::Number)
      size = std::strtol(std::string(tokens_[dimsAt + 1].text).c_str(), nullptr, 0);
    else if (dimsClose != dimsAt + 1)
      return;
    const size_t close = Matching(open);
    if (close >= tokens_.size()) return;
    std::vector<std::pair<size_t, size_t>> elements;  // token ranges [first, last]
    bool onlyNumbers = true;
    for (size_t i = open + 1; i < close;) {
      const size_t first = i;
      if (Is(i, "{")) return;  // already grouped
      while (i < close && !Is(i, ",")) {
        if (Is(i, "(") || Is(i, "[")) i = Matching(i);
        ++i;
      }
      if (i == first || i > close) return;  // an empty element, or brackets that do not nest: left to the front end
      const bool signedNumber = i == first + 2 && (Is(first, "-") || Is(first, "+"));
      if (!((i == first + 1 || signedNumber) && tokens_[i - 1].kind == TokenKind::Number)) onlyNumbers = false;
      elements.emplace_back(first, i - 1);
      ++i;  // the ','
    }
    const size_t n = elements.size();
    if (n == 0 || n % components != 0) return;
    if (size ? n != static_cast<size_t>(*size) * components : !onlyNumbers) return;
    for (size_t e = 0; e < n; e += components) {
      edits_.push_back({tokens_[elements[e].first].begin, tokens_[elements[e].first].begin, "{"});
      edits_.push_back({tokens_[elements[e + components - 1].second].end, tokens_[elements[e + components - 1].second].end, "}"});
    }
  }

  // Index just past the unary expression starting at `i`.
  size_t UnaryEnd(size_t i) {
    while (Is(i, "-") || Is(i, "+") || Is(i, "!") || Is(i, "~")) ++i;
    if (Is(i, "(")) {
      const size_t close = Matching(i);
      // A cast: its operand follows.
      if (close == i + 2 && tokens_[i + 1].kind == TokenKind::Identifier && Components(tokens_[i + 1].text) > 0)
        return UnaryEnd(close + 1);
      i = close + 1;
    } else if (i < tokens_.size() && (tokens_[i].kind == TokenKind::Identifier || tokens_[i].kind == TokenKind::Number)) {
      ++i;
      if (Is(i, "(")) i = Matching(i) + 1;  // a call or a constructor
    } else {
      return i;
    }
    while (i < tokens_.size()) {
      if (Is(i, ".") && i + 1 < tokens_.size() && tokens_[i + 1].kind == TokenKind::Identifier) i += 2;
      else if (Is(i, "[")) i = Matching(i) + 1;
      else break;
    }
    return std::min(i, tokens_.size());
  }

  // `(float[4])v`: the components of a vector as an array. Becomes a call of
  // a helper made for the element type and count.
  void ArrayCast(size_t i) {
    if (!(Is(i, "(") && Is(i + 2, "[") && Is(i + 4, "]") && Is(i + 5, ")"))) return;
    const std::string_view type = tokens_[i + 1].text;
    const std::string_view count = tokens_[i + 3].text;
    if (!IsScalarType(type) || count.size() != 1 || count[0] < '1' || count[0] > '4') return;
    const size_t end = UnaryEnd(i + 6);
    if (end == i + 6 || end > tokens_.size()) return;
    const std::string name = std::string(type) + "_" + std::string(count);
    const int n = count[0] - '0';
    std::string elements;
    for (int c = 0; c < n; ++c) elements += std::string(c ? ", " : "") + (n == 1 ? "v" : "v[" + std::to_string(c) + "]");
    helpers_.insert("#ifndef LV_ARRAY_CAST_" + name + "\n#define LV_ARRAY_CAST_" + name + "\ntypedef " +
                    std::string(type) + " lv_array_" + name + "[" + std::string(count) + "];\nlv_array_" + name +
                    " lv_cast_" + name + "(" + std::string(type) + (n == 1 ? "" : std::string(count)) +
                    " v) { lv_array_" + name + " a = { " + elements + " }; return a; }\n#endif\n");
    edits_.push_back({tokens_[i].begin, tokens_[i + 5].end, "lv_cast_" + name + "("});
    edits_.push_back({tokens_[end - 1].end, tokens_[end - 1].end, ")"});
  }

  // Index of the last token of the statement starting at `i`.
  size_t StatementEnd(size_t i) {
    if (Is(i, "{")) return Matching(i);
    while (i < tokens_.size() && !Is(i, ";")) {
      if (Is(i, "(") || Is(i, "[") || Is(i, "{")) i = Matching(i);
      ++i;
    }
    return std::min(i, tokens_.size() - 1);
  }

  // `for (int i = 0; ...) {...} ... i ...`: the Direct3D 9 compiler keeps a
  // loop's variables in the enclosing block. When one is used after the
  // loop, its declaration moves in front of the loop (once per block; a
  // later loop declaring it again reuses it, as that compiler did).
  void HoistLoopVariables(size_t forAt, size_t blockClose, std::set<std::string>& hoisted) {
    const size_t open = forAt + 1;
    // Only a loop that is a statement of the block itself: in front of the
    // body of an if or a loop the declaration would change what that runs.
    const bool ownStatement = Is(forAt - 1, ";") || Is(forAt - 1, "{") || Is(forAt - 1, "}");
    if (!ownStatement || !Is(open, "(") || open + 2 >= tokens_.size() || tokens_[open + 1].kind != TokenKind::Identifier ||
        Components(tokens_[open + 1].text) == 0 || tokens_[open + 2].kind != TokenKind::Identifier)
      return;
    const size_t close = Matching(open);
    if (close >= tokens_.size()) return;
    std::vector<std::string_view> names{tokens_[open + 2].text};
    for (size_t i = open + 2; i < close && !Is(i, ";"); ++i) {
      if (Is(i, "(") || Is(i, "[") || Is(i, "{")) i = Matching(i);
      else if (Is(i, ",") && tokens_[i + 1].kind == TokenKind::Identifier) names.push_back(tokens_[i + 1].text);
    }
    const size_t loopEnd = StatementEnd(close + 1);
    bool usedAfter = false;
    for (size_t i = loopEnd + 1; i < blockClose && !usedAfter; ++i)
      usedAfter = tokens_[i].kind == TokenKind::Identifier && !Is(i - 1, ".") &&
                  std::find(names.begin(), names.end(), tokens_[i].text) != names.end();
    if (!usedAfter) return;
    const std::string type(tokens_[open + 1].text);
    std::string declaration;
    for (std::string_view name : names)
      if (hoisted.insert(type + " " + std::string(name)).second)
        declaration += type + " " + std::string(name) + "; ";
    if (!declaration.empty()) edits_.push_back({tokens_[forAt].begin, tokens_[forAt].begin, declaration});
    edits_.push_back({tokens_[open + 1].begin, tokens_[open + 1].end, ""});
  }

  // The statements of a function body [open, close].
  void RewriteBody(size_t open, size_t close) {
    struct Block {
      size_t close;
      std::set<std::string> hoisted;
    };
    std::vector<Block> blocks{{close, {}}};
    for (size_t i = open + 1; i < close && result_.error.empty(); ++i) {
      while (blocks.size() > 1 && i > blocks.back().close) blocks.pop_back();
      if (Is(i, "{")) {
        blocks.push_back({Matching(i), {}});
      } else if (Is(i, "for")) {
        HoistLoopVariables(i, blocks.back().close, blocks.back().hoisted);
      } else if (tokens_[i].kind == TokenKind::Identifier && Components(tokens_[i].text) > 1 && i + 2 < close &&
                 tokens_[i + 1].kind == TokenKind::Identifier && Is(i + 2, "[")) {
        const size_t dimsClose = Matching(i + 2);
        if (Is(dimsClose + 1, "=") && Is(dimsClose + 2, "{")) RegroupFlatInitialiser(i, i + 2, dimsClose + 2);
      } else {
        ArrayCast(i);
      }
    }
  }

  struct Edit {
    size_t begin, end;  // the range of the source text replaced
    std::string text;
  };

  std::vector<Token> tokens_;
  std::vector<size_t> closing_;  // per opening bracket: its partner, or tokens_.size()
  CleanedSource result_;
  std::vector<Edit> edits_;
  std::set<std::string> helpers_;
  bool mayNeedRewrites_ = false;
};

}  // namespace

CleanedSource StripEffectSyntax(std::string_view source) { return Stripper(source).Run(); }

}  // namespace gfx::shader
