#include "effect_syntax.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

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

// Tokens of the text outside comments and preprocessor lines.
std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> tokens;
  size_t i = 0;
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
  explicit Stripper(std::string_view source) : tokens_(Tokenize(source)) {
    result_.text = std::string(source);
  }

  CleanedSource Run() {
    size_t i = 0;
    while (i < tokens_.size() && result_.error.empty()) i = Statement(i);
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
    std::string_view c = o == "{" ? "}" : o == "(" ? ")" : o == "[" ? "]" : ">";
    int depth = 0;
    for (size_t i = open; i < tokens_.size(); ++i) {
      if (tokens_[i].text == o) ++depth;
      if (tokens_[i].text == c && --depth == 0) return i;
    }
    Fail(open, "unexpected end of file: '" + std::string(o) + "' is not closed");
    return tokens_.size();
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
      if (Is(close, "{")) close = Matching(close);
      return close + 1;
    }
    // Declarators: name [dims] (: register(..) | : SEMANTIC)* <annotation>? (= init)? , ...
    while (i < tokens_.size() && result_.error.empty()) {
      if (tokens_[i].kind != TokenKind::Identifier) return SkipToSemicolon(i);
      GlobalDeclaration global;
      global.name = std::string(tokens_[i].text);
      global.type = type;
      ++i;
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
          while (i < tokens_.size() && !Is(i, ",") && !Is(i, ";")) {
            if (Is(i, "{") || Is(i, "(") || Is(i, "[")) i = Matching(i);
            ++i;
          }
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

  std::vector<Token> tokens_;
  CleanedSource result_;
};

}  // namespace

CleanedSource StripEffectSyntax(std::string_view source) { return Stripper(source).Run(); }

}  // namespace gfx::shader
