// Validation of a typed install folder, and creation of its missing levels.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace folder {
// Results of the validation functions.
constexpr int kAccepted = 0;
constexpr int kInvalid = 1;
constexpr int kCannotCreate = 2;
constexpr int kDeclined = -1;  // the user did not want the folder created
}  // namespace folder

// 1 when `name` can be one level of a folder path: not empty, not beginning or
// ending with a tab, a blank or a dot, and none of " * / : < > ? \ |. Double-byte
// characters pass whole (their trail byte may look like "\" or "|").
int IsValidFolderName(const std::string& name);

// Checks a drive-rooted path ("C:\", "C:\a\b") level by level, looking at
// nothing but the text: 0 or 1 (invalid).
int CheckFolderPath(const std::string& path);

// The same check; with `checkOnly` false it also creates each missing level.
// 0, 1 (invalid) or 2 (a level could not be created; the levels made before it
// stay).
int CreateFolderPath(plat::IFileSystem& fs, const std::string& path, bool checkOnly);

// What the picker's OK does with the typed path: validate it, offer to create it
// when missing, create it. Warnings and the question are message boxes over
// `owner` captioned `caption`. 0, -1 (declined), 1 or 2.
int ConfirmFolder(plat::IFileSystem& fs, plat::IShell& user, plat::HWnd owner, const std::string& caption,
                  const std::string& path);

// The program's name as message boxes show it: its file name without extension.
std::string ApplicationName(plat::IFileSystem& fs);
