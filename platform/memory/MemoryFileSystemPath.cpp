#include "platform/memory/MemoryFileSystemPath.h"

#include "platform/Types.h"
#include "platform/memory/GbkText.h"
#include "platform/memory/MemoryFileSystemMatch.h"
#include "text/AnsiText.h"

namespace mem::fspath {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The segments between separators; a separator is a single-byte character, never
// the trail byte of a GBK character. Empty segments (runs of separators) vanish.
std::vector<std::string> Split(std::string_view text, bool backslashOnly, bool* trailing) {
  std::vector<std::string> segments;
  std::string current;
  *trailing = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ansi::CharLength(text, i);
    const bool separator = n == 1 && (backslashOnly ? text[i] == '\\' : IsSeparator(text[i]));
    if (separator) {
      if (!current.empty()) segments.push_back(current);
      current.clear();
    } else {
      current.append(text.substr(i, n));
    }
    *trailing = separator;
    i += n;
  }
  if (!current.empty()) segments.push_back(current);
  return segments;
}

// Trailing periods and spaces are single-byte characters in GBK (a trail byte is
// 0x40 or above), so trimming bytes from the end never cuts a character.
void Trim(std::string* segment, bool lastOfPath) {
  if (lastOfPath) {
    while (!segment->empty() && (segment->back() == '.' || segment->back() == ' ')) segment->pop_back();
  } else if (segment->size() >= 2 && segment->back() == '.' && (*segment)[segment->size() - 2] != '.') {
    segment->pop_back();
  }
}

// "name:stream[:$DATA]" in the last part; the ':' must be a character of its own.
long SplitStream(Path* path) {
  if (path->parts.empty()) return 0;
  std::string& last = path->parts.back();
  const std::size_t colon = ansi::FindAtCharBoundary(last, ":");
  if (colon == std::string::npos) return 0;
  std::string streamPart = last.substr(colon + 1);
  last.resize(colon);
  const std::size_t second = ansi::FindAtCharBoundary(streamPart, ":");
  if (second != std::string::npos) {
    if (ansi::UpperAscii(streamPart.substr(second + 1)) != "$DATA") return kErrorInvalidName;
    streamPart.resize(second);
  }
  if (last.empty()) return kErrorInvalidName;
  path->stream = streamPart;
  return 0;
}

bool HasInvalidMaskCharacter(std::string_view mask) {
  for (std::size_t i = 0; i < mask.size(); i += ansi::CharLength(mask, i)) {
    const unsigned char c = static_cast<unsigned char>(mask[i]);
    if (c < 0x20 || c == '|' || c == ':') return true;
  }
  return false;
}

long Validate(const Path& path, bool lastIsMask) {
  for (std::size_t i = 0; i < path.parts.size(); ++i) {
    const std::string& name = path.parts[i];
    const bool mask = lastIsMask && i + 1 == path.parts.size();
    if (mask ? HasInvalidMaskCharacter(name) : HasInvalidNameCharacter(name)) return kErrorInvalidName;
    if (Utf16Length(name) > kMaxNameChars) return kErrorInvalidName;
  }
  if (HasInvalidNameCharacter(path.stream)) return kErrorInvalidName;
  return 0;
}

std::size_t FullLength(const Path& path) {
  std::size_t length = Utf16Length(path.Text());
  if (!path.stream.empty()) length += 1 + Utf16Length(path.stream);
  if (path.trailingSeparator && !path.parts.empty()) ++length;
  return length;
}

// "\\?\X:\..." : no normalisation and no MAX_PATH limit; only '\' separates.
long ParseVerbatim(std::string_view rest, Path* out) {
  if (rest.size() < 3 || !IsDriveLetter(rest[0]) || rest[1] != ':' || rest[2] != '\\') return plat::kErrorPathNotFound;
  out->verbatim = true;
  out->drive = Upper(rest[0]);
  out->parts = Split(rest.substr(3), true, &out->trailingSeparator);
  for (const std::string& part : out->parts)
    if (part == "." || part == "..") return kErrorInvalidName;
  return 0;
}

// Where a non-verbatim text starts from, and the rest of it to walk.
std::string_view Base(std::string_view text, const Path& currentDirectory, Path* out) {
  if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
    const char drive = Upper(text[0]);
    const std::string_view rest = text.substr(2);
    out->drive = drive;
    if ((rest.empty() || !IsSeparator(rest[0])) && drive == currentDirectory.drive) out->parts = currentDirectory.parts;
    return rest;
  }
  out->drive = currentDirectory.drive;
  if (!IsSeparator(text[0])) out->parts = currentDirectory.parts;
  return text;
}

void Walk(const std::vector<std::string>& segments, bool trailing, bool rawLast, Path* out) {
  for (std::size_t i = 0; i < segments.size(); ++i) {
    std::string segment = segments[i];
    const bool last = i + 1 == segments.size();
    if (last && rawLast && !trailing && wildcard::HasWildcards(segment)) {
      out->parts.push_back(segment);
      continue;
    }
    if (segment == ".") continue;
    if (segment == "..") {
      if (!out->parts.empty()) out->parts.pop_back();
      continue;
    }
    Trim(&segment, last && !trailing);
    if (!segment.empty()) out->parts.push_back(segment);
  }
}

}  // namespace

std::string Path::Text() const {
  std::string text{drive, ':', '\\'};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) text.push_back('\\');
    text += parts[i];
  }
  return text;
}

std::size_t Utf16Length(std::string_view gbkText) { return gbk::ToUtf16Lenient(gbkText).size(); }

bool HasInvalidNameCharacter(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); i += ansi::CharLength(name, i)) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20) return true;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
      case '?':
      case '*':
        return true;
      default:
        break;
    }
  }
  return false;
}

long Parse(std::string_view text, const Path& currentDirectory, const ParseOptions& options, Path* out) {
  *out = Path{};
  const bool limited = !options.unlimited;
  if (limited && !options.dynamicConversion && Utf16Length(text) > kStaticBufferChars) return kErrorFilenameExcedRange;
  if (text.empty()) return plat::kErrorPathNotFound;
  long rc = 0;
  if (text.substr(0, 4) == "\\\\?\\") {
    rc = ParseVerbatim(text.substr(4), out);
  } else if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    return plat::kErrorPathNotFound;  // \\server\share
  } else {
    bool trailing = false;
    const std::vector<std::string> segments = Split(Base(text, currentDirectory, out), false, &trailing);
    out->trailingSeparator = trailing && !segments.empty();
    Walk(segments, trailing, options.rawLastSegment, out);
  }
  if (rc != 0) return rc;
  const bool lastIsMask = options.rawLastSegment && !out->trailingSeparator && !out->parts.empty() &&
                          wildcard::HasWildcards(out->parts.back());
  if (options.allowStream && !lastIsMask) rc = SplitStream(out);
  if (rc == 0) rc = Validate(*out, lastIsMask);
  if (rc == 0 && limited && !out->verbatim && FullLength(*out) > kMaxPathChars) rc = plat::kErrorPathNotFound;
  return rc;
}

}  // namespace mem::fspath
