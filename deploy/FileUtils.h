// Small utilities on single paths that the package copy relies on.
#pragma once

#include <string>

#include "deploy/InstallRecord.h"
#include "platform/FileSystem.h"

enum class PathKind { Missing = 0, File = 1, Folder = 2 };

// What stands at a path, as far as can be told (GetFileAttributesExA; `info`
// and, for kUnknown, `error` filled in). Unlike GetPathKind, it tells a path that
// is not there from one it may not look at.
enum class Presence { kNone, kFile, kFolder, kUnknown };
Presence Look(plat::IFileSystem& fs, const std::string& path, plat::FileInfo& info, std::uint32_t& error);
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND: nothing there.
bool IsMissing(std::uint32_t error);

// Clears the read-only bit and keeps every other attribute. A path that does not
// exist, or attributes that cannot be written, change nothing.
void ClearReadOnly(plat::IFileSystem& fs, const std::string& path);

// What a directory search with `path` as its pattern finds first: a pattern with
// wildcards is answered by its first match; a trailing backslash matches nothing.
PathKind GetPathKind(plat::IFileSystem& fs, const std::string& path);

// Whether this user may create a file in `folder` (or, with `folderProbe`, a file
// or else a folder: Windows lets a standard user make folders in C:\ but not
// files): 0 when a probe of ours could be made there (and it is gone again), or
// the Win32 error Windows gave. Nothing else is made or changed.
std::uint32_t ProbeCreation(plat::IFileSystem& fs, const std::string& folder, bool folderProbe = false);

// The deepest folder on the way to `path` that exists, `path` itself included
// ("C:\" for a drive); empty when there is none (a server that is not there).
std::string DeepestExistingFolder(plat::IFileSystem& fs, const std::string& path);

// Removes the download mark ("path:Zone.Identifier") that a browser attaches to
// a file from the internet. True when there was one and it is gone.
bool DeleteZoneIdentifier(plat::IFileSystem& fs, std::string path);

// Windows' answers to a user without the rights for a write.
bool IsLackOfRights(std::uint32_t error);

// The record file at `path`. Missing is no failure (nothing recorded yet); a file
// that cannot be read or parsed is, and leaves `record` as it was.
enum class RecordRead { kMissing, kRead, kUnreadable };
RecordRead LoadRecord(plat::IFileSystem& files, const std::string& path, InstallRecord& record);
// Written beside it first and then moved over it, so that a failed write never
// leaves half a record. 0, or the Win32 error of the write that failed.
std::uint32_t SaveRecord(plat::IFileSystem& files, const std::string& path, const InstallRecord& record);
