// A program that imports comctl32 statically: the loader resolves that import
// before any code of the program runs, so no restriction of the search could
// help it. It shows what SetUp.exe's import table is guarded against.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

int main() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  const BOOL done = InitCommonControlsEx(&controls);
  std::printf("InitCommonControlsEx: %s\n", done ? "done" : "failed");
  return 0;
}
