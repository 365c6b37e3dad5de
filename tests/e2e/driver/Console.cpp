#include "tests/e2e/driver/Console.h"

#include <windows.h>

#include <string>

#include "tests/e2e/driver/Utf8.h"

namespace drv {
namespace {

void WriteLine(DWORD which, std::wstring_view line) {
  HANDLE out = GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  std::wstring text(line);
  text += L'\n';
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = ToUtf8(text);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void PrintOut(std::wstring_view line) { WriteLine(STD_OUTPUT_HANDLE, line); }
void PrintErr(std::wstring_view line) { WriteLine(STD_ERROR_HANDLE, line); }

}  // namespace drv
