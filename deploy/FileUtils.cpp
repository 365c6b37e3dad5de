#include "deploy/FileUtils.h"

#include "text/AnsiText.h"

namespace {

// The probe's name: made and removed at once, in a folder that exists.
constexpr const char* kProbeName = "~vellmark-probe.tmp";

bool IsFolder(plat::IFileSystem& fs, const std::string& path) {
  const std::uint32_t attributes = fs.GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void ClearReadOnly(plat::IFileSystem& fs, const std::string& path) {
  const std::uint32_t attributes = fs.GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
  fs.SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

PathKind GetPathKind(plat::IFileSystem& fs, const std::string& path) {
  plat::FindData entry;
  plat::ScopedFind find(fs, fs.FindFirstFileA(path.c_str(), &entry));
  if (!find.valid()) return PathKind::Missing;
  return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
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
  return error == static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND) ||
         error == static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND);
}

Presence Look(plat::IFileSystem& fs, const std::string& path, plat::FileInfo& info, std::uint32_t& error) {
  if (fs.GetFileAttributesExA(path.c_str(), &info))
    return (info.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Presence::kFolder : Presence::kFile;
  error = fs.GetLastError();
  return IsMissing(error) ? Presence::kNone : Presence::kUnknown;
}

bool IsLackOfRights(std::uint32_t error) {
  return error == static_cast<std::uint32_t>(ERROR_ACCESS_DENIED) ||
         error == static_cast<std::uint32_t>(ERROR_PRIVILEGE_NOT_HELD) ||
         error == static_cast<std::uint32_t>(ERROR_WRITE_PROTECT);
}

RecordRead LoadRecord(plat::IFileSystem& files, const std::string& path, InstallRecord& record) {
  std::string bytes;
  if (!files.ReadFileA(path.c_str(), &bytes)) {
    const std::uint32_t error = files.GetLastError();
    const bool missing = error == static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND) ||
                         error == static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND);
    return missing ? RecordRead::kMissing : RecordRead::kUnreadable;
  }
  return ParseRecord(bytes, record) ? RecordRead::kRead : RecordRead::kUnreadable;
}

std::uint32_t SaveRecord(plat::IFileSystem& files, const std::string& path, const InstallRecord& record) {
  const std::string written = path + ".new";
  if (!files.WriteFileA(written.c_str(), FormatRecord(record))) return files.GetLastError();
  if (files.MoveFileExA(written.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
  const std::uint32_t error = files.GetLastError();
  files.DeleteFileA(written.c_str());
  return error;
}
