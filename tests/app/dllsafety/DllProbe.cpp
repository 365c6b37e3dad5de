// vm_dll_probe [--restrict] name.dll...: loads each DLL by its bare name, as a
// program or a system DLL on its behalf would, and prints the file each came
// from. With --restrict it first narrows the DLL search the way SetUp.exe does
// at start-up. Exit status: 0 when every name loaded, 1 otherwise, 2 on a
// restriction that did not take.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/DllSafety.h"

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--restrict") == 0) {
    if (RestrictDllSearchToSystemFolder() == DllSearchRestriction::kUnchanged) return 2;
    first = 2;
  }
  int status = 0;
  for (int i = first; i < argc; ++i) {
    HMODULE module = LoadLibraryA(argv[i]);
    char path[MAX_PATH] = "";
    if (module != nullptr) GetModuleFileNameA(module, path, MAX_PATH);
    std::printf("%s -> %s\n", argv[i], module != nullptr ? path : "(not loaded)");
    if (module == nullptr) status = 1;
    // Kept loaded: the mark is left at load, and unloading could run nothing of interest.
  }
  return status;
}
