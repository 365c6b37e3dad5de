// Texts of the ANSI code page of a Chinese Windows (936, GBK): single bytes for
// ASCII, two bytes for a Chinese character. A trail byte can fall in the range of
// the ASCII letters, so case changes and searches must step over whole characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ansi {

// A byte that starts a double-byte character of code page 936.
constexpr bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Bytes taken by the character at `pos`: 2 for a lead byte followed by a byte
// other than NUL, else 1.
std::size_t CharLength(std::string_view text, std::size_t pos);

// The letters A-Z / a-z changed, every byte of a double-byte character left alone.
std::string UpperAscii(const std::string& text);
std::string LowerAscii(const std::string& text);

// Equal when they differ only in the letter case of ASCII letters.
bool EqualsNoCase(const std::string& a, const std::string& b);

// First occurrence of `needle` in `text` that begins on a character boundary;
// npos when none.
std::size_t FindAtCharBoundary(const std::string& text, const std::string& needle);

// True when a character begins at byte `pos` (or `pos` is the end of the text).
bool IsCharBoundary(const std::string& text, std::size_t pos);

// Position of the last character `c` (a single byte), stepping over double-byte
// characters whose trail byte looks like it (誠 is 0x90 0x5C); npos when none.
std::size_t FindLastChar(const std::string& text, char c);
// A path's folder ("" when it has no backslash) and its last part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The longest path the ANSI file calls take, in characters: MAX_PATH less its
// terminator.
constexpr std::size_t kLongestPath = 259;

// Characters, a double-byte one counting one, as Windows counts path lengths.
std::size_t CharCount(const std::string& text);
// A path the ANSI file calls take: at most kLongestPath characters.
inline bool FitsFileCalls(const std::string& path) { return CharCount(path) <= kLongestPath; }

// True when the last character (not just the last byte) is `c`.
bool EndsWithChar(const std::string& text, char c);

// Removes one trailing backslash, if there is one, and only one.
void RemoveTrailingBackslash(std::string& path);
// The same of a UTF-16 path, and the letters a-z of one upper-cased, every other
// unit as it is (as TRUSTEDPATHS is compared and written).
void RemoveTrailingBackslash(std::u16string& path);
std::u16string UpperAscii(std::u16string text);

// printf into a text of any length.
std::string Format(const char* format, ...);

}  // namespace ansi
