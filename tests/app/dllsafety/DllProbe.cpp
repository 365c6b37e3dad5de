// vm_dll_probe [--restrict] name.dll...: loads each DLL by its bare name, as a program or a system DLL
// on its behalf would; --restrict narrows the search as SetUp.exe does, for the names after it.
// It imports comctl32, as SetUp.exe must not: imports are resolved before any code runs.
#include <windows.h>
#include <commctrl.h>

#include "app/DllSafety.h"

int main(int argc, char** argv) {
  InitCommonControls();
  for (int k = 1; k < argc; ++k)
    lstrcmpA(argv[k], "--restrict") == 0 ? (void)RestrictDllSearchToSystemFolder() : (void)LoadLibraryA(argv[k]);
  return 0;
}
