// vm_dll_probe [--restrict] name.dll...: loads each DLL by its bare name, --restrict narrowing the search for the
// names after it as SetUp.exe does. It imports comctl32, as SetUp.exe must not: imports resolve before any code runs.
#include <windows.h>
#include <commctrl.h>

#include "app/DllSafety.h"

int main(int argc, char** argv) {
  InitCommonControls();
  for (int k = 1; k < argc; ++k)
    lstrcmpA(argv[k], "--restrict") == 0 ? (void)RestrictDllSearchToSystemFolder() : (void)LoadLibraryA(argv[k]);
  return 0;
}
