// vm_sleeper: waits the seconds given (120 when none) and exits, unless ended first. The process-list tests start
// copies of it under the names of AutoCAD's programs; the limit keeps a crashed test from leaving them behind.
// A window program on purpose: under Wine, a console program started with CREATE_NO_WINDOW gets a headless
// conhost.exe, which stays behind when the program is terminated while starting. It keeps the wineserver alive,
// and with it the test's output pipe, so ctest waits for a test that has long finished.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const long seconds = commandLine && *commandLine ? std::strtol(commandLine, nullptr, 10) : 120;
  ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds : 0) * 1000u);
  return 0;
}
