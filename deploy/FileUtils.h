// Small utilities on single paths that the package copy relies on.
#pragma once

#include <string>

#include "platform/FileSystem.h"

enum class PathKind { Missing = 0, File = 1, Folder = 2 };

// Clears the read-only bit and keeps every other attribute. A path that does not
// exist, or attributes that cannot be written, change nothing.
void ClearReadOnly(plat::IFileSystem& fs, const std::string& path);

// What a directory search with `path` as its pattern finds first: a pattern with
// wildcards is answered by its first match; a trailing backslash matches nothing.
PathKind GetPathKind(plat::IFileSystem& fs, const std::string& path);

// Removes the download mark ("path:Zone.Identifier") that a browser attaches to
// a file from the internet. True when there was one and it is gone.
bool DeleteZoneIdentifier(plat::IFileSystem& fs, std::string path);
