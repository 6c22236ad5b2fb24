// src/platform/include holds the Windows SDK's names that the program uses
// and nothing else: the engine compiles against these headers here and
// against mingw-w64's real SDK in the Windows build, so a name no file uses
// is dead weight that nothing checks against the real SDK, and the stand-in's
// own C++ belongs behind its own headers in src/platform/<library>/.
//
// The headers are read as text: every name they declare (macros, typedef
// names, structs, enum constants, functions and interface methods) must be
// used somewhere in src, tests, bench, tools or fuzz outside its own
// declaration, either directly or by another declaration here that is used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kaze::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = KAZE_SOURCE_DIR;
const fs::path kSdkDir = kSourceDir / "src/platform/include";
const char* const kSearchedDirs[] = {"src", "tests", "bench", "tools", "fuzz"};
// The stand-in's pixel memory, not an SDK header; it is read as any other
// source file until it leaves the folder.
const std::set<std::string> kNotSdkHeaders = {"pixel_surface.h"};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// C and C++ text with its comments blanked out; line breaks stay, so that
// line numbers still hold. String and character literals are kept whole.
std::string WithoutComments(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '"' || out[i] == '\'') {
      const char quote = out[i];
      for (++i; i < out.size() && out[i] != quote && out[i] != '\n'; ++i)
        if (out[i] == '\\') ++i;
    } else if (out.compare(i, 2, "//") == 0) {
      for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    } else if (out.compare(i, 2, "/*") == 0) {
      const size_t end = std::min(out.find("*/", i + 2), out.size() - 2) + 2;
      for (; i < end; ++i)
        if (out[i] != '\n') out[i] = ' ';
      --i;
    }
  }
  return out;
}

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

struct Token {
  std::string text;
  int line = 0;
  bool IsIdentifier() const { return IsIdentifierStart(text[0]); }
};

// Identifiers, numbers, literals and single punctuation characters.
std::vector<Token> Tokens(const std::string& code, int firstLine = 1) {
  std::vector<Token> tokens;
  int line = firstLine;
  for (size_t i = 0; i < code.size();) {
    const char c = code[i];
    size_t end = i + 1;
    if (c == '\n') ++line;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (IsIdentifierChar(c)) {
      while (end < code.size() && IsIdentifierChar(code[end])) ++end;
    } else if (c == '"' || c == '\'') {
      while (end < code.size() && code[end] != c && code[end] != '\n') end += code[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, code.size());
    }
    tokens.push_back({code.substr(i, end - i), line});
    i = end;
  }
  return tokens;
}

// One declaration of an SDK header: the names it declares and every
// identifier it mentions.
struct Declaration {
  std::string header;
  std::vector<Token> names;
  std::set<std::string> mentions;
};

void AddName(Declaration& declaration, const Token& token) {
  if (token.IsIdentifier()) declaration.names.push_back(token);
}

// The declarator names of a typedef: after the braced body if there is
// one, each comma-separated declarator gives the name in its "(*NAME)" or,
// otherwise, its last identifier before any array bound.
void TypedefNames(const std::vector<Token>& tokens, Declaration& declaration) {
  size_t start = 1;
  int depth = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].text == "{") ++depth;
    if (tokens[i].text == "}" && --depth == 0) start = i + 1;
  }
  std::vector<std::vector<Token>> declarators(1);
  depth = 0;
  for (size_t i = start; i + 1 < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (t == "(" || t == "[") ++depth;
    if (t == ")" || t == "]") --depth;
    if (t == "," && depth == 0) {
      declarators.emplace_back();
    } else {
      declarators.back().push_back(tokens[i]);
    }
  }
  for (const std::vector<Token>& declarator : declarators) {
    const Token* name = nullptr;
    for (size_t i = 0; i + 2 < declarator.size() && name == nullptr; ++i)
      if (declarator[i].text == "*" && declarator[i + 1].IsIdentifier() && declarator[i + 2].text == ")")
        name = &declarator[i + 1];
    if (name == nullptr) {
      for (const Token& token : declarator) {
        if (token.text == "[") break;
        if (token.IsIdentifier()) name = &token;
      }
    }
    if (name != nullptr) AddName(declaration, *name);
  }
}

// The constants of every enum body in the declaration.
void EnumConstants(const std::vector<Token>& tokens, Declaration& declaration) {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].text != "enum") continue;
    while (i < tokens.size() && tokens[i].text != "{") ++i;
    for (bool expectName = true; i + 1 < tokens.size() && tokens[i].text != "}"; ++i) {
      if (expectName && tokens[i + 1].IsIdentifier()) AddName(declaration, tokens[i + 1]);
      expectName = tokens[i + 1].text == ",";
    }
  }
}

// The name a function declaration in tokens[from, to) declares: the
// identifier before its first parenthesis.
void FunctionName(const std::vector<Token>& tokens, size_t from, size_t to, Declaration& declaration) {
  for (size_t i = from + 1; i < to; ++i)
    if (tokens[i].text == "(") return AddName(declaration, tokens[i - 1]);
}

// A statement of C++ at the top level of a header, up to its ';'.
void ParseStatement(const std::vector<Token>& tokens, Declaration& declaration) {
  for (const Token& token : tokens)
    if (token.IsIdentifier()) declaration.mentions.insert(token.text);
  size_t first = 0;  // past a leading [[attribute]]
  if (tokens.size() > 1 && tokens[0].text == "[" && tokens[1].text == "[") {
    while (first + 1 < tokens.size() && !(tokens[first].text == "]" && tokens[first + 1].text == "]")) ++first;
    first += 2;
  }
  if (first >= tokens.size()) return;
  const std::string& head = tokens[first].text;
  if (head == "typedef") {
    TypedefNames(tokens, declaration);
    EnumConstants(tokens, declaration);
  } else if (head == "enum") {
    if (first + 1 < tokens.size() && tokens[first + 1].text == "class") ++first;
    if (first + 1 < tokens.size() && tokens[first + 1].IsIdentifier()) AddName(declaration, tokens[first + 1]);
    EnumConstants(tokens, declaration);
  } else if (head == "struct" || head == "union" || head == "class") {
    if (first + 1 < tokens.size()) AddName(declaration, tokens[first + 1]);
    // Methods: each member declaration with a parameter list.
    int depth = 0;
    size_t memberStart = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
      const std::string& t = tokens[i].text;
      if (t == "{" && ++depth == 1) memberStart = i;
      if (t == "}") --depth;
      if (depth == 1 && t == ";") {
        FunctionName(tokens, memberStart, i, declaration);
        memberStart = i;
      }
    }
  } else {
    FunctionName(tokens, first, tokens.size(), declaration);
  }
}

// Every declaration of one header: each #define, and each statement of the
// code between the directives.
std::vector<Declaration> ParseHeader(const std::string& name, const std::string& text) {
  std::vector<Declaration> declarations;
  std::istringstream lines(WithoutComments(text));
  std::string line;
  std::vector<Token> statement;
  int lineNumber = 0;
  int depth = 0;
  auto addCode = [&](const std::string& piece, int at) {
    for (const Token& token : Tokens(piece, at)) {
      statement.push_back(token);
      if (token.text == "{") ++depth;
      if (token.text == "}") --depth;
      if (token.text == ";" && depth == 0) {
        Declaration& declaration = declarations.emplace_back(Declaration{name, {}, {}});
        ParseStatement(statement, declaration);
        statement.clear();
      }
    }
  };
  while (std::getline(lines, line)) {
    const int at = ++lineNumber;
    const size_t hash = line.find_first_not_of(" \t");
    if (hash == std::string::npos || line[hash] != '#') {
      addCode(line + "\n", at);
      continue;
    }
    std::string directive = line;
    while (!directive.empty() && directive.back() == '\\' && std::getline(lines, line)) {
      directive.back() = ' ';
      directive += line;
      ++lineNumber;
    }
    std::vector<Token> tokens = Tokens(directive, at);
    if (tokens.size() < 3 || tokens[1].text != "define") continue;
    Declaration& declaration = declarations.emplace_back(Declaration{name, {tokens[2]}, {}});
    for (size_t i = 3; i < tokens.size(); ++i)
      if (tokens[i].IsIdentifier()) declaration.mentions.insert(tokens[i].text);
  }
  return declarations;
}

struct SdkHeader {
  std::string name;
  std::string text;
};

std::vector<SdkHeader> SdkHeaders() {
  std::vector<SdkHeader> headers;
  for (const fs::directory_entry& entry : fs::directory_iterator(kSdkDir)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".h" && !kNotSdkHeaders.count(name))
      headers.push_back({name, ReadText(entry.path())});
  }
  std::sort(headers.begin(), headers.end(), [](const SdkHeader& a, const SdkHeader& b) { return a.name < b.name; });
  return headers;
}

bool IsSdkHeader(const fs::path& path) {
  return path.parent_path() == kSdkDir && path.extension() == ".h" && !kNotSdkHeaders.count(path.filename().string());
}

// Every identifier in the project's files outside the SDK headers (and this
// file), comments of C and C++ files left out. Binary files are skipped.
std::set<std::string> IdentifiersOutsideTheSdk() {
  static const std::set<std::string> kCode = {".h", ".hpp", ".c", ".cc", ".cpp", ".inc"};
  const fs::path self = fs::path(__FILE__).filename();
  std::set<std::string> identifiers;
  for (const char* dir : kSearchedDirs) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSourceDir / dir)) {
      if (!entry.is_regular_file() || IsSdkHeader(entry.path())) continue;
      if (entry.path().filename() == self && entry.path().parent_path().filename() == "layers") continue;
      std::string text = ReadText(entry.path());
      if (text.find('\0') != std::string::npos) continue;
      if (kCode.count(entry.path().extension().string())) text = WithoutComments(text);
      for (size_t i = 0; i < text.size();) {
        if (!IsIdentifierChar(text[i])) {
          ++i;
          continue;
        }
        size_t end = i;
        while (end < text.size() && IsIdentifierChar(text[end])) ++end;
        if (IsIdentifierStart(text[i])) identifiers.insert(text.substr(i, end - i));
        i = end;
      }
    }
  }
  return identifiers;
}

std::vector<Declaration> ParseAll(const std::vector<SdkHeader>& headers) {
  std::vector<Declaration> all;
  for (const SdkHeader& header : headers)
    for (Declaration& declaration : ParseHeader(header.name, header.text)) all.push_back(std::move(declaration));
  return all;
}

// The names declared somewhere in `declarations`, each with its declaration.
std::set<std::string> DeclaredNames(const std::vector<Declaration>& declarations) {
  std::set<std::string> names;
  for (const Declaration& declaration : declarations)
    for (const Token& token : declaration.names) names.insert(token.text);
  return names;
}

TEST(SdkHeadersTest, ParserFindsEveryKindOfDeclaration) {
  const std::string header =
      "#define ONE 1\n"
      "#define JOIN(a, b) \\\n  (a | b)\n"
      "typedef struct tagTHING { LONG x; struct { int y; } inner; } THING, *LPTHING;\n"
      "typedef const THING* LPCTHING;\n"
      "typedef LRESULT(CALLBACK* THINGPROC)(HWND, UINT);  // a callback\n"
      "typedef char NAMEBUF[8];\n"
      "enum Colour { RED, GREEN = 2, BLUE };\n"
      "struct Opaque__; typedef struct Opaque__* HOPAQUE;\n"
      "struct IThing : public IUnknown {\n  virtual HRESULT Spin(DWORD turns) = 0;\n};\n"
      "/* DWORD NotMe(void); */ [[noreturn]] void Stop(int code);\n"
      "BOOL WINAPI Start(\n    HWND hwnd);\n";
  std::vector<std::string> found;
  std::vector<int> lines;
  for (const Declaration& declaration : ParseHeader("thing.h", header)) {
    for (const Token& token : declaration.names) {
      found.push_back(token.text);
      lines.push_back(token.line);
    }
  }
  EXPECT_EQ(found, (std::vector<std::string>{"ONE", "JOIN", "THING", "LPTHING", "LPCTHING", "THINGPROC", "NAMEBUF",
                                             "Colour", "RED", "GREEN", "BLUE", "Opaque__", "HOPAQUE", "IThing", "Spin",
                                             "Stop", "Start"}));
  EXPECT_EQ(lines, (std::vector<int>{1, 2, 4, 4, 5, 6, 7, 8, 8, 8, 8, 9, 9, 10, 11, 13, 14}));
}

TEST(SdkHeadersTest, EveryDeclaredNameIsUsed) {
  const std::vector<Declaration> declarations = ParseAll(SdkHeaders());
  const std::set<std::string> declared = DeclaredNames(declarations);
  // The reading must find the headers' names, or the check below says nothing.
  for (const char* known : {"DirectDrawCreate", "LPDIRECTDRAWSURFACE", "WM_KEYDOWN", "WAVEFORMATEX", "HWND"})
    ASSERT_TRUE(declared.count(known)) << known << " not found among the SDK headers' names";

  // Used: named outside the headers, or mentioned by a used declaration.
  std::set<std::string> used;
  const std::set<std::string> outside = IdentifiersOutsideTheSdk();
  for (const std::string& name : declared)
    if (outside.count(name)) used.insert(name);
  for (bool grew = true; grew;) {
    grew = false;
    for (const Declaration& declaration : declarations) {
      if (std::none_of(declaration.names.begin(), declaration.names.end(),
                       [&](const Token& name) { return used.count(name.text) != 0; }))
        continue;
      for (const std::string& mention : declaration.mentions) {
        const bool own = std::any_of(declaration.names.begin(), declaration.names.end(),
                                     [&](const Token& name) { return name.text == mention; });
        if (!own && declared.count(mention) && used.insert(mention).second) grew = true;
      }
    }
  }
  for (const Declaration& declaration : declarations)
    for (const Token& name : declaration.names)
      if (!used.count(name.text))
        ADD_FAILURE()
            << declaration.header << ":" << name.line << ": " << name.text
            << " is declared but used nowhere in src, tests, bench, tools or fuzz (nor by a used declaration there)";
}

TEST(SdkHeadersTest, NoHeaderCarriesTheStandInsCpp) {
  const std::regex standInCpp(R"(\bstd\s*::|\bkaze\s*::|\bnamespace\s+kaze\b)");
  for (const SdkHeader& header : SdkHeaders()) {
    std::istringstream lines(WithoutComments(header.text));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number)
      if (std::regex_search(line, standInCpp))
        ADD_FAILURE() << header.name << ":" << number
                      << ": the stand-in's own C++ belongs in src/platform/<library>/: " << line;
  }
}

}  // namespace
}  // namespace kaze::test
