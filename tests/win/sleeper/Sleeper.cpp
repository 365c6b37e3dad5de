// vm_sleeper: waits the number of seconds given (120 when none) and exits, unless
// it is ended first. The process-list test starts copies of it under the names
// of AutoCAD's programs; the limit keeps a crashed test from leaving them behind.
//
// It is a window-subsystem program on purpose: a console program started with
// CREATE_NO_WINDOW gets a headless conhost.exe under Wine, and when such a
// program is terminated while it is still starting, that conhost stays behind.
// It keeps the wineserver and its services alive, and with them the test's
// output pipe, so ctest waits for the end of a test that has long finished.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const long seconds = commandLine && *commandLine ? std::strtol(commandLine, nullptr, 10) : 120;
  ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 0) * 1000u);
  return 0;
}
