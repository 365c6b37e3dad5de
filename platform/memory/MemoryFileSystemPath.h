// How the ANSI file calls of Windows turn the text they are given into a path
// on a volume, before the file system sees it:
//
// - The ANSI text is converted to UTF-16 first. Most calls convert into the
//   thread's static buffer of 261 characters (TEB StaticUnicodeString), so a
//   text of more than 260 characters fails with ERROR_FILENAME_EXCED_RANGE
//   whatever it names. CopyFileA converts its new name into an allocated buffer
//   instead, so that one only meets the limit below. Lengths count UTF-16
//   characters: a GBK character of two bytes counts one.
// - The full path (current directory applied, relative segments evaluated) must
//   stay below MAX_PATH, 259 characters plus the terminator; a longer one fails
//   with ERROR_PATH_NOT_FOUND. "\\?\" in front skips the limit and the
//   normalisation, as it does on Windows.
// - Normalisation: '/' is a separator like '\'; runs of separators collapse;
//   "." and ".." segments are evaluated; a segment ending in one period loses
//   it; the last segment loses all its trailing periods and spaces unless a
//   separator follows it ("C:\a. " names "C:\a").
// - Separators are single-byte characters only: the trail byte of a GBK
//   character may be 0x5C or 0x7C ("嘰" is 87 5C) and is part of the name.
// - A name holding < > : " / \ | ? * or a control character is refused with
//   ERROR_INVALID_NAME, as NTFS refuses it; so is a name of more than 255 UTF-16
//   characters. The one ':' allowed is the stream separator of "file:stream",
//   where the call takes a stream.
// - "X:rel" is taken relative to the current directory when X is its drive and
//   to the root of X otherwise (the model keeps no per-drive directories).
//   UNC names ("\\server\share") are not modelled and fail with
//   ERROR_PATH_NOT_FOUND.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mem::fspath {

constexpr long kErrorInvalidName = 123;
constexpr long kErrorFilenameExcedRange = 206;
constexpr std::size_t kStaticBufferChars = 260;  // the static buffer holds 261 with the terminator
constexpr std::size_t kMaxPathChars = 259;       // MAX_PATH without the terminator
constexpr std::size_t kMaxNameChars = 255;

struct Path {
  char drive = 0;                  // 'C'; upper case
  std::vector<std::string> parts;  // the names below the root, normalised, as given (GBK bytes)
  std::string stream;              // "Zone.Identifier" of "a.txt:Zone.Identifier"; empty for the file itself
  bool trailingSeparator = false;  // the text ended with a separator ("C:\dir\")
  bool verbatim = false;           // given with the "\\?\" prefix

  // "C:\a\b" ("C:\" for the root); without the stream.
  std::string Text() const;
};

struct ParseOptions {
  bool dynamicConversion = false;  // converted into an allocated buffer (CopyFileA's new name)
  bool allowStream = false;        // "file:stream" names a stream of the file
  bool rawLastSegment = false;     // FindFirstFileA's mask: kept as given, wildcards allowed
  bool unlimited = false;          // the test side: neither length limit applies
};

// The path `text` names, seen from `currentDirectory`; 0 or the Win32 error the
// call would fail with before reaching the file system.
long Parse(std::string_view text, const Path& currentDirectory, const ParseOptions& options, Path* out);

// UTF-16 length of GBK text (a byte that is no valid character counts one).
std::size_t Utf16Length(std::string_view gbk);

// True when `name` holds a character NTFS refuses in a name (':' included).
bool HasInvalidNameCharacter(std::string_view name);

}  // namespace mem::fspath
