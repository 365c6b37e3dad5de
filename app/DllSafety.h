// Where this process may load DLLs from. SetUp.exe is usually started from a
// browser's downloads folder, and whatever else lies there (a version.dll, a
// uxtheme.dll) would be found before the system's own by the default search order.
#pragma once

// How far the search could be narrowed.
enum class DllSearchRestriction {
  kSystemFolderOnly,  // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
  kNoCurrentFolder,   // SetDllDirectoryA(""): Windows before KB2533623; the
                      // program's own folder is still searched
  kUnchanged,         // neither call succeeded
};

// Narrows the DLL search of the whole process to the system folder where Windows
// can, otherwise takes at least the current folder out of it. Safe to call more
// than once. SetUp.exe calls it from a constructor that runs before any other of
// the program's (main_win32.cpp).
DllSearchRestriction RestrictDllSearchToSystemFolder();
