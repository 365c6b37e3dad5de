#include "platform/memory/RegFixture.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/memory/GbkText.h"

namespace mem {
namespace {

constexpr std::size_t kMaxDepth = 512;      // levels below a hive, as Windows allows
constexpr std::size_t kMaxNameUnits = 255;  // UTF-16 units in a key name
const std::u16string kHeader = u"Windows Registry Editor Version 5.00";

// What a valid text asks of the registry, in file order.
struct Operation {
  enum Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue } kind;
  std::string path;
  std::string name;
  std::uint32_t type = 0;
  std::string data;
};

struct Line {
  std::size_t number;
  std::u16string text;
};

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Trim(std::u16string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Parses 1 to 8 hex digits.
bool ParseHex32(std::u16string_view s, std::uint32_t* value) {
  if (s.empty() || s.size() > 8) return false;
  *value = 0;
  for (char16_t c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    *value = (*value << 4) | static_cast<std::uint32_t>(d);
  }
  return true;
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (gbk::UpcaseUnit(s[i]) != gbk::UpcaseUnit(prefix[i])) return false;
  return true;
}

// --- Decoding the file into lines --------------------------------------------

void SplitLines(std::u16string_view text, std::size_t firstNumber, std::vector<Line>* lines) {
  std::size_t number = firstNumber, start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\n' && text[i] != u'\r') continue;
    lines->push_back({number++, std::u16string(text.substr(start, i - start))});
    if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
}

bool DecodeFile(std::string_view bytes, std::vector<Line>* lines, RegFileError* error) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0) {
      *error = {0, "the UTF-16LE text has an odd number of bytes"};
      return false;
    }
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                      (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    SplitLines(text, 1, lines);
    return true;
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    *error = {0, "UTF-16 big-endian text is not a regedit file"};
    return false;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  // UTF-8: decoded line by line, so that a bad byte is reported with its line.
  std::size_t number = 1, start = 0;
  for (std::size_t i = 0; i <= bytes.size(); ++i) {
    if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') continue;
    std::u16string text;
    if (!gbk::Utf8ToUtf16(bytes.substr(start, i - start), &text)) {
      *error = {number, "the line is not valid UTF-8"};
      return false;
    }
    lines->push_back({number++, text});
    if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return true;
}

// --- Parsing -------------------------------------------------------------------

class Parser {
 public:
  Parser(const std::vector<Line>& lines, RegFileError* error) : m_lines(lines), m_error(error) {}

  bool Run(std::vector<Operation>* ops) {
    m_ops = ops;
    if (m_lines.empty() || Trim(m_lines[0].text) != kHeader)
      return Fail(1, "the first line must be \"Windows Registry Editor Version 5.00\"");
    for (m_index = 1; m_index < m_lines.size(); ++m_index) {
      const std::u16string text = Trim(m_lines[m_index].text);
      const std::size_t number = m_lines[m_index].number;
      if (text.empty() || text[0] == u';') continue;
      if (text.find(u'\0') != std::u16string::npos) return Fail(number, "the line holds a NUL character");
      if (text[0] == u'[') {
        if (!ParseSection(text, number)) return false;
      } else if (text[0] == u'"' || text[0] == u'@') {
        if (!ParseValue(text, number)) return false;
      } else {
        return Fail(number, "expected a [key] section, a \"value\"= line, a comment or a blank line");
      }
    }
    return true;
  }

 private:
  bool Fail(std::size_t line, const std::string& reason) {
    *m_error = {line, reason};
    return false;
  }

  bool ToGbk(std::u16string_view text, std::string* out, std::size_t line, const char* what) {
    if (gbk::FromUtf16(text, out)) return true;
    return Fail(line, std::string(what) + " has a character that code page 936 cannot hold");
  }

  bool ParseSection(const std::u16string& text, std::size_t line) {
    if (text.back() != u']') return Fail(line, "a section must end with ']'");
    std::u16string path = text.substr(1, text.size() - 2);
    const bool remove = !path.empty() && path[0] == u'-';
    if (remove) path.erase(0, 1);
    std::vector<std::u16string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
      if (i < path.size() && path[i] != u'\\') continue;
      names.push_back(path.substr(start, i - start));
      start = i + 1;
    }
    std::string full;
    if (StartsWithNoCase(names[0], u"HKEY_LOCAL_MACHINE") && names[0].size() == 18) {
      full = "HKEY_LOCAL_MACHINE";
    } else if (StartsWithNoCase(names[0], u"HKEY_CURRENT_USER") && names[0].size() == 17) {
      full = "HKEY_CURRENT_USER";
    } else {
      return Fail(line, "the key must be below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
    }
    if (names.size() - 1 > kMaxDepth) return Fail(line, "the key is nested deeper than 512 levels");
    for (std::size_t i = 1; i < names.size(); ++i) {
      if (names[i].empty()) return Fail(line, "the key path has an empty name in it");
      if (names[i].size() > kMaxNameUnits) return Fail(line, "a key name is longer than 255 characters");
      std::string gbkName;
      if (!ToGbk(names[i], &gbkName, line, "the key path")) return false;
      full += "\\" + gbkName;
    }
    m_section = full;
    m_sectionDeleted = remove;
    m_ops->push_back({remove ? Operation::kDeleteKey : Operation::kCreateKey, full, {}, 0, {}});
    return true;
  }

  // A quoted text at text[pos] (the opening quote); pos ends after the closing one.
  bool ParseQuoted(const std::u16string& text, std::size_t& pos, std::u16string* out, std::size_t line) {
    out->clear();
    for (++pos; pos < text.size(); ++pos) {
      const char16_t c = text[pos];
      if (c == u'"') {
        ++pos;
        return true;
      }
      if (c == u'\\') {
        if (pos + 1 >= text.size() || (text[pos + 1] != u'\\' && text[pos + 1] != u'"'))
          return Fail(line, "a backslash in quotes must be written \\\\ (or \\\" for a quote)");
        ++pos;
      }
      out->push_back(text[pos]);
    }
    return Fail(line, "a quoted text has no closing quote");
  }

  bool ParseValue(const std::u16string& text, std::size_t line) {
    if (m_section.empty()) return Fail(line, "a value must follow a [key] section");
    if (m_sectionDeleted) return Fail(line, "a value cannot follow a [-key] deletion");
    std::size_t pos = 0;
    std::u16string name;
    if (text[0] == u'@') {
      pos = 1;
    } else if (!ParseQuoted(text, pos, &name, line)) {
      return false;
    }
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] != u'=') return Fail(line, "expected '=' after the value name");
    ++pos;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    Operation op{Operation::kSetValue, m_section, {}, 0, {}};
    if (!ToGbk(name, &op.name, line, "the value name")) return false;
    if (!ParseData(text.substr(pos), line, &op)) return false;
    m_ops->push_back(op);
    return true;
  }

  bool ParseData(const std::u16string& data, std::size_t line, Operation* op) {
    if (data == u"-") {
      op->kind = Operation::kDeleteValue;
      return true;
    }
    if (!data.empty() && data[0] == u'"') {
      std::size_t pos = 0;
      std::u16string value;
      if (!ParseQuoted(data, pos, &value, line)) return false;
      if (!Trim(std::u16string_view(data).substr(pos)).empty()) return Fail(line, "text after the closing quote");
      op->type = plat::kRegSz;
      if (!ToGbk(value, &op->data, line, "the string")) return false;
      op->data.push_back('\0');
      return true;
    }
    if (StartsWithNoCase(data, u"dword:")) {
      std::uint32_t value = 0;
      if (!ParseHex32(Trim(std::u16string_view(data).substr(6)), &value))
        return Fail(line, "dword: takes 1 to 8 hex digits");
      op->type = plat::kRegDword;
      op->data.assign(4, '\0');
      for (int i = 0; i < 4; ++i) op->data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
      return true;
    }
    std::size_t listStart = 0;
    if (StartsWithNoCase(data, u"hex:")) {
      op->type = plat::kRegBinary;
      listStart = 4;
    } else if (StartsWithNoCase(data, u"hex(")) {
      const std::size_t close = data.find(u"):");
      if (close == std::u16string::npos || !ParseHex32(std::u16string_view(data).substr(4, close - 4), &op->type))
        return Fail(line, "hex(N): takes a type of 1 to 8 hex digits");
      listStart = close + 2;
    } else {
      return Fail(line, "unknown data: expected \"text\", dword:, hex:, hex(N): or -");
    }
    std::string bytes;
    if (!ParseByteList(data.substr(listStart), line, &bytes)) return false;
    return StoreHexData(bytes, line, op);
  }

  // Comma-separated bytes; a line ending in a backslash continues on the next.
  // Errors name the physical line they are on.
  bool ParseByteList(std::u16string list, std::size_t line, std::string* bytes) {
    for (;;) {
      list = Trim(list);
      const bool continues = !list.empty() && list.back() == u'\\';
      if (continues) list.pop_back();
      if (!AppendBytes(Trim(list), line, continues, bytes)) return false;
      if (!continues) return true;
      if (m_index + 1 >= m_lines.size()) return Fail(line, "the value continues past the end of the file");
      list = m_lines[++m_index].text;
      line = m_lines[m_index].number;
    }
  }

  bool AppendBytes(const std::u16string& list, std::size_t line, bool continues, std::string* bytes) {
    if (list.empty()) return true;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
      if (i < list.size() && list[i] != u',') continue;
      const std::u16string token = Trim(std::u16string_view(list).substr(start, i - start));
      const bool last = i == list.size();
      if (token.empty() && !(last && continues && start > 0))
        return Fail(line, last ? "the byte list ends with a comma" : "an empty byte in the list");
      if (!token.empty()) {
        std::uint32_t value = 0;
        if (token.size() > 2 || !ParseHex32(token, &value)) return Fail(line, "a byte must be 1 or 2 hex digits");
        bytes->push_back(static_cast<char>(value));
      }
      start = i + 1;
    }
    return true;
  }

  // hex(1), hex(2) and hex(7) hold UTF-16LE text: stored as GBK, as the ANSI calls give it.
  bool StoreHexData(const std::string& bytes, std::size_t line, Operation* op) {
    if (op->type != plat::kRegSz && op->type != plat::kRegExpandSz && op->type != plat::kRegMultiSz) {
      op->data = bytes;
      return true;
    }
    if (bytes.size() % 2 != 0) return Fail(line, "a UTF-16 string value has an odd number of bytes");
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return ToGbk(text, &op->data, line, "the string");
  }

  const std::vector<Line>& m_lines;
  RegFileError* m_error;
  std::vector<Operation>* m_ops = nullptr;
  std::size_t m_index = 0;
  std::string m_section;
  bool m_sectionDeleted = false;
};

// --- Writing -------------------------------------------------------------------

class Writer {
 public:
  Writer(const MemoryRegistry& registry, RegFileError* error) : m_registry(registry), m_error(error) {}

  bool Run(const std::string& path, std::string* fileBytes) {
    m_text = kHeader + u"\r\n";
    if (path.empty()) {
      if (!WriteTree("HKEY_LOCAL_MACHINE") || !WriteTree("HKEY_CURRENT_USER")) return false;
    } else {
      if (!m_registry.KeyExists(path)) return Fail("no key " + path);
      if (!WriteTree(path)) return false;
    }
    fileBytes->assign("\xFF\xFE");
    for (char16_t c : m_text) {
      fileBytes->push_back(static_cast<char>(c & 0xFF));
      fileBytes->push_back(static_cast<char>(c >> 8));
    }
    return true;
  }

 private:
  bool Fail(const std::string& reason) {
    *m_error = {0, reason};
    return false;
  }

  bool Wide(const std::string& gbkText, std::u16string* out, const std::string& where) {
    if (gbk::ToUtf16(gbkText, out)) return true;
    return Fail(where + " is not valid GBK");
  }

  // A name goes on one line of the file, so it cannot hold a line break.
  bool WideName(const std::string& gbkName, std::u16string* out, const std::string& where) {
    if (!Wide(gbkName, out, where)) return false;
    if (out->find_first_of(u"\r\n") != std::u16string::npos) return Fail(where + " has a line break in it");
    return true;
  }

  // Depth first with an explicit stack, subkeys in enumeration order.
  bool WriteTree(const std::string& root) {
    std::vector<std::string> stack{root};
    while (!stack.empty()) {
      const std::string path = stack.back();
      stack.pop_back();
      if (!WriteKey(path)) return false;
      const std::vector<std::string> names = m_registry.SubKeyNames(path);
      for (auto it = names.rbegin(); it != names.rend(); ++it) stack.push_back(path + "\\" + *it);
    }
    return true;
  }

  bool WriteKey(const std::string& path) {
    std::u16string widePath;
    if (!WideName(path, &widePath, "the key " + path)) return false;
    m_text += u"\r\n[" + widePath + u"]\r\n";
    for (const std::string& name : m_registry.ValueNames(path)) {
      const MemoryRegistry::Value value = *m_registry.GetValue(path, name);
      std::u16string wideName;
      if (!WideName(name, &wideName, "a value name in " + path)) return false;
      std::u16string line = name.empty() ? u"@=" : u"\"" + Escape(wideName) + u"\"=";
      if (!AppendData(value, line, path + " value " + name)) return false;
      m_text += line;
      m_text += u"\r\n";
    }
    return true;
  }

  static std::u16string Escape(const std::u16string& text) {
    std::u16string out;
    for (char16_t c : text) {
      if (c == u'\\' || c == u'"') out.push_back(u'\\');
      out.push_back(c);
    }
    return out;
  }

  bool AppendData(const MemoryRegistry::Value& value, std::u16string& line, const std::string& where) {
    const std::string& data = value.data;
    if (value.type == plat::kRegSz || value.type == plat::kRegExpandSz || value.type == plat::kRegMultiSz) {
      std::u16string text;
      if (!Wide(data, &text, where)) return false;
      const bool plain = value.type == plat::kRegSz && !text.empty() && text.back() == u'\0' &&
                         text.find_first_of(std::u16string(u"\r\n\0", 3)) == text.size() - 1;
      if (plain) {
        line += u"\"" + Escape(text.substr(0, text.size() - 1)) + u"\"";
        return true;
      }
      std::string bytes;
      for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
      }
      AppendHex(value.type, bytes, line);
      return true;
    }
    if (value.type == plat::kRegDword && data.size() == 4) {
      std::uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[i]);
      char buffer[16];
      std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(v));
      line += std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
      return true;
    }
    AppendHex(value.type, data, line);
    return true;
  }

  // hex: or hex(N): with bytes wrapped at about 80 columns, as regedit does.
  void AppendHex(std::uint32_t type, const std::string& bytes, std::u16string& line) {
    char buffer[24];
    if (type == plat::kRegBinary) {
      std::snprintf(buffer, sizeof buffer, "hex:");
    } else {
      std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(type));
    }
    line += std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
    std::size_t column = line.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(bytes[i]));
      line += std::u16string(buffer, buffer + 2);
      column += 2;
      if (i + 1 == bytes.size()) break;
      line += u",";
      if (++column > 76) {
        line += u"\\\r\n  ";
        column = 2;
      }
    }
  }

  const MemoryRegistry& m_registry;
  RegFileError* m_error;
  std::u16string m_text;
};

}  // namespace

bool LoadRegFile(MemoryRegistry& registry, std::string_view fileBytes, RegFileError* error) {
  RegFileError ignored;
  if (!error) error = &ignored;
  std::vector<Line> lines;
  if (!DecodeFile(fileBytes, &lines, error)) return false;
  std::vector<Operation> ops;
  if (!Parser(lines, error).Run(&ops)) return false;
  for (const Operation& op : ops) {
    switch (op.kind) {
      case Operation::kCreateKey:
        registry.CreateKey(op.path);
        break;
      case Operation::kDeleteKey:
        registry.DeleteTree(op.path);  // a missing key is no error, as for regedit
        break;
      case Operation::kSetValue:
        registry.SetValue(op.path, op.name, op.type, op.data);
        break;
      case Operation::kDeleteValue:
        registry.DeleteValue(op.path, op.name);
        break;
    }
  }
  return true;
}

bool WriteRegFile(const MemoryRegistry& registry, const std::string& path, std::string* fileBytes,
                  RegFileError* error) {
  RegFileError ignored;
  return Writer(registry, error ? error : &ignored).Run(path, fileBytes);
}

}  // namespace mem
