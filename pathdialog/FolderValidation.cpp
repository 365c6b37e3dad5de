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

namespace {

// Walks the levels of `path`; with a file system, creates each one.
int WalkFolderPath(plat::IFileSystem* fs, const std::string& path) {
  // The ANSI file calls take at most MAX_PATH - 1 characters, as Windows counts them.
  if (path.size() < 3 || ansi::CharCount(path) >= plat::kMaxPath) return folder::kInvalid;
  if (!IsAsciiLetter(path[0]) || path[1] != ':' || path[2] != '\\') return folder::kInvalid;
  if (path.size() == 3) {
    if (fs == nullptr) return folder::kAccepted;
    return fs->Access(path.c_str(), 0) == 0 ? folder::kAccepted : folder::kCannotCreate;
  }
  for (std::size_t start = 3;;) {
    const std::size_t end = LevelEnd(path, start);
    if (IsValidFolderName(path.substr(start, end - start)) == 0) return folder::kInvalid;
    if (fs != nullptr) {
      const std::string level = path.substr(0, end);
      fs->CreateDirectoryA(level.c_str());  // an existing level is fine
      if (fs->Access(level.c_str(), 0) != 0) return folder::kCannotCreate;
    }
    if (end == path.size()) return folder::kAccepted;
    start = end + 1;
    if (start == path.size()) return folder::kInvalid;  // a trailing backslash
  }
}

}  // namespace

int CheckFolderPath(const std::string& path) { return WalkFolderPath(nullptr, path); }

int CreateFolderPath(plat::IFileSystem& fs, const std::string& path, bool checkOnly) {
  return WalkFolderPath(checkOnly ? nullptr : &fs, path);
}

int ConfirmFolder(plat::IFileSystem& fs, plat::IShell& user, plat::HWnd owner, const std::string& caption,
                  const std::string& path) {
  auto warn = [&](int code) {
    const char* format = code == folder::kInvalid ? "The folder:\n\n%s\n\nis invalid. Please reenter."
                                                  : "The folder:\n\n%s\n\ncan not be created. Please double check.";
    user.MessageBoxA(owner, ansi::Format(format, path.c_str()).c_str(), caption.c_str(),
                   plat::kMbOk | plat::kMbIconExclamation);
    return code;
  };
  int code = CheckFolderPath(path);
  if (code != folder::kAccepted) return warn(code);
  if (fs.Access(path.c_str(), 0) != 0) {
    const std::string question =
        ansi::Format("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path.c_str());
    if (user.MessageBoxA(owner, question.c_str(), caption.c_str(), plat::kMbYesNo | plat::kMbIconQuestion) !=
        plat::kIdYes)
      return folder::kDeclined;
    code = CreateFolderPath(fs, path, false);
    if (code != folder::kAccepted) return warn(code);
  }
  return folder::kAccepted;
}

std::string ApplicationName(plat::IFileSystem& fs) {
  char module[plat::kMaxPath + 1] = {};
  const std::uint32_t length = fs.GetModuleFileNameA(module, sizeof module);
  std::string name(module, length < sizeof module ? length : 0);
  const std::size_t slash = ansi::FindLastChar(name, '\\');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = ansi::FindLastChar(name, '.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}
