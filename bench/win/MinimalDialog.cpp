// The smallest dialog program of ours: the start-up baseline of SetUp.exe. One
// dialog from a template, ended by Cancel or the close box.
#include <windows.h>

namespace {

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) return EndDialog(dialog, IDCANCEL);
  return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, Proc, 0));
}
