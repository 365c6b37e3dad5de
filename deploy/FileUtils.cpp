#include "deploy/FileUtils.h"

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
