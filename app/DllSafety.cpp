#include "app/DllSafety.h"

#include <windows.h>

namespace {

// Looked up at run time: kernel32 has it from Windows 8 on and on Windows 7 and
// Vista with KB2533623; importing it would keep the program from starting anywhere else.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesFn FindSetDefaultDllDirectories() {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
}

}  // namespace

DllSearchRestriction RestrictDllSearchToSystemFolder() {
  if (SetDefaultDllDirectoriesFn setDefault = FindSetDefaultDllDirectories()) {
    if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return DllSearchRestriction::kSystemFolderOnly;
  }
  // The empty string removes the current folder from the search; the program's
  // folder stays, which is why SetUp.exe imports KnownDLLs only.
  if (SetDllDirectoryA("")) return DllSearchRestriction::kNoCurrentFolder;
  return DllSearchRestriction::kUnchanged;
}
