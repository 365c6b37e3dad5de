// Validation of a typed install folder, level by level; the walk over its levels
// is also the picker's way of creating the missing ones.
#pragma once

#include <functional>
#include <string>

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

// The same check, level by level; with `make`, each level is handed to it ("C:\"
// alone as the root) as soon as its name passed, and a false from it ends the
// walk with 2 (cannot be created).
int WalkFolderPath(const std::string& path, const std::function<bool(const std::string& level, bool root)>& make);
