// vm_sleeper: waits the number of seconds given (120 when none) and exits, unless
// it is ended first. The process-list test starts copies of it under the names
// of AutoCAD's programs; the limit keeps a crashed test from leaving them behind.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 120;
  ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 0) * 1000u);
  return 0;
}
