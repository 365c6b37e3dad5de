#include "deploy/FileUtils.h"

#include "text/AnsiText.h"

namespace {

// The probe's name: made and removed at once, in a folder that exists.
constexpr const char* kProbeName = "~vellmark-probe.tmp";

bool IsFolder(plat::IFileSystem& fs, const std::string& path) {
  const std::uint32_t attributes = fs.GetFileAttributesA(path.c_str());
  return attributes != plat::kInvalidFileAttributes && (attributes & plat::kFileAttributeDirectory) != 0;
}

}  // namespace

void ClearReadOnly(plat::IFileSystem& fs, const std::string& path) {
  const std::uint32_t attributes = fs.GetFileAttributesA(path.c_str());
  if (attributes == plat::kInvalidFileAttributes) return;
  if ((attributes & plat::kFileAttributeReadOnly) == 0) return;
  fs.SetFileAttributesA(path.c_str(), attributes & ~plat::kFileAttributeReadOnly);
}

PathKind GetPathKind(plat::IFileSystem& fs, const std::string& path) {
  plat::FindData entry;
  plat::ScopedFind find(fs, fs.FindFirstFileA(path.c_str(), &entry));
  if (!find.valid()) return PathKind::Missing;
  return (entry.attributes & plat::kFileAttributeDirectory) != 0 ? PathKind::Folder : PathKind::File;
}

bool DeleteZoneIdentifier(plat::IFileSystem& fs, std::string path) {
  path += ":Zone.Identifier";
  return fs.DeleteFileA(path.c_str());
}

std::uint32_t ProbeCreation(plat::IFileSystem& fs, const std::string& folder, bool folderProbe) {
  const std::string probe = folder + (ansi::EndsWithChar(folder, '\\') ? "" : "\\") + kProbeName;
  // Windows removes the file itself as the probe closes it, whatever happens.
  if (fs.CreateTemporaryFileA(probe.c_str())) return 0;
  const std::uint32_t error = fs.GetLastError();
  if (!folderProbe) return error;
  if (!fs.CreateDirectoryA(probe.c_str())) return fs.GetLastError();
  fs.RemoveDirectoryA(probe.c_str());
  return 0;
}

std::string DeepestExistingFolder(plat::IFileSystem& fs, const std::string& path) {
  for (std::string folder = path;;) {
    // "X:" alone is the working folder of that drive; its root is meant.
    const bool drive = folder.size() == 2 && folder[1] == ':';
    if (IsFolder(fs, drive ? folder + "\\" : folder)) return drive ? folder + "\\" : folder;
    const std::size_t slash = ansi::FindLastChar(folder, '\\');
    // Above "\\server" there is nothing to climb to.
    if (slash == std::string::npos || slash < 2) return std::string();
    folder.resize(slash);
  }
}

bool IsMissing(std::uint32_t error) {
  return error == static_cast<std::uint32_t>(plat::kErrorFileNotFound) ||
         error == static_cast<std::uint32_t>(plat::kErrorPathNotFound);
}

Presence Look(plat::IFileSystem& fs, const std::string& path, plat::FileInfo& info, std::uint32_t& error) {
  if (fs.GetFileAttributesExA(path.c_str(), &info))
    return (info.attributes & plat::kFileAttributeDirectory) != 0 ? Presence::kFolder : Presence::kFile;
  error = fs.GetLastError();
  return IsMissing(error) ? Presence::kNone : Presence::kUnknown;
}
