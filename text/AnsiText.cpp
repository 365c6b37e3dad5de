#include "text/AnsiText.h"

#include <cstdarg>
#include <cstdio>

namespace ansi {
namespace {

template <class Change>
std::string ChangeLetters(const std::string& text, Change change) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
    if (CharLength(out, i) == 1) out[i] = change(out[i]);
  }
  return out;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) {
  // A lead byte at the end, or before a NUL, stands alone, as CharNextA takes it.
  return pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) && text[pos + 1] != '\0' ? 2 : 1;
}

std::string UpperAscii(const std::string& text) { return ChangeLetters(text, Upper); }
std::u16string UpperAscii(std::u16string text) {
  for (char16_t& unit : text)
    if (unit < 0x80) unit = static_cast<char16_t>(Upper(static_cast<char>(unit)));
  return text;
}
std::string LowerAscii(const std::string& text) { return ChangeLetters(text, Lower); }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

std::size_t FindAtCharBoundary(const std::string& text, const std::string& needle) {
  for (std::size_t i = 0; i + needle.size() <= text.size(); i += CharLength(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string::npos;
}

std::size_t FindLastChar(const std::string& text, char c) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
    if (text[i] == c && CharLength(text, i) == 1) found = i;
  return found;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = FindLastChar(path, '\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = FindLastChar(path, '\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::size_t CharCount(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
  return count;
}

bool IsCharBoundary(const std::string& text, std::size_t pos) {
  std::size_t i = 0;
  while (i < pos && i < text.size()) i += CharLength(text, i);
  return i == pos;
}

bool EndsWithChar(const std::string& text, char c) {
  // The last byte is a character of its own only when it does not finish a
  // double-byte character, whose trail byte can be 0x5C, the backslash.
  return !text.empty() && text.back() == c && IsCharBoundary(text, text.size() - 1);
}

void RemoveTrailingBackslash(std::string& path) {
  if (EndsWithChar(path, '\\')) path.pop_back();
}

void RemoveTrailingBackslash(std::u16string& path) {
  if (!path.empty() && path.back() == u'\\') path.pop_back();
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) {
    va_start(args, format);
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
  }
  return text;
}

}  // namespace ansi
