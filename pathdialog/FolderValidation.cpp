#include "pathdialog/FolderValidation.h"

#include <cstring>

#include "text/AnsiText.h"

namespace {

constexpr const char* kForbidden = "\"*/:<>?\\|";

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsEdgeBlank(char c) { return c == '\t' || c == ' ' || c == '.'; }

// The end of the level that starts at `from`: the next backslash that is a
// character of its own, or the end of the text.
std::size_t LevelEnd(const std::string& path, std::size_t from) {
  for (std::size_t i = from; i < path.size(); i += ansi::CharLength(path, i))
    if (path[i] == '\\' && ansi::CharLength(path, i) == 1) return i;
  return path.size();
}

}  // namespace

int IsValidFolderName(const std::string& name) {
  if (name.empty()) return 0;
  // Tab, blank and dot are below 0x40, so they are never the trail byte of a
  // double-byte character: the last byte can be tested as it is.
  if (IsEdgeBlank(name.front()) || IsEdgeBlank(name.back())) return 0;
  for (std::size_t i = 0; i < name.size(); i += ansi::CharLength(name, i))
    if (ansi::CharLength(name, i) == 1 && name[i] != '\0' && std::strchr(kForbidden, name[i]) != nullptr) return 0;
  return 1;
}

int WalkFolderPath(const std::string& path, const std::function<bool(const std::string& level, bool root)>& make) {
  if (path.size() < 3 || !ansi::FitsFileCalls(path)) return folder::kInvalid;
  if (!IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return folder::kInvalid;
  if (path.size() == 3) return !make || make(path, true) ? folder::kAccepted : folder::kCannotCreate;
  for (std::size_t start = 3;;) {
    const std::size_t end = LevelEnd(path, start);
    if (IsValidFolderName(path.substr(start, end - start)) == 0) return folder::kInvalid;
    if (make && !make(path.substr(0, end), false)) return folder::kCannotCreate;
    if (end == path.size()) return folder::kAccepted;
    start = end + 1;
    if (start == path.size()) return folder::kInvalid;  // a trailing backslash
  }
}

int CheckFolderPath(const std::string& path) { return WalkFolderPath(path, nullptr); }
