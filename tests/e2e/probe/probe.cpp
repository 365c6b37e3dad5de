// vm_e2e_probe: a small dialog with the kinds of controls SetUp.exe shows, for
// proving vm_driver on its own. How the dialog ended is its exit code, so a
// script can tell which of the driver's actions reached the program:
//   2 (IDCANCEL): the cancel button or Escape; 30: the caption's close box;
//   40 + length of the folder text: the go button.
// The ask button opens a message box whose answer shows in the answer static.
#include <windows.h>

#include <string>

#include "tests/e2e/probe/probe.h"

namespace {

constexpr INT_PTR kClosedByCaption = 30;
constexpr INT_PTR kGoBase = 40;

void Init(HWND dlg) {
  CheckDlgButton(dlg, IDC_PROBE_TICKED, BST_CHECKED);
  EnableWindow(GetDlgItem(dlg, IDC_PROBE_GREYED), FALSE);
  ShowWindow(GetDlgItem(dlg, IDC_PROBE_HIDDEN), SW_HIDE);
  SetDlgItemTextW(dlg, IDC_PROBE_FOLDER, L"C:\\Kavtor");
}

void Ask(HWND dlg) {
  const int answer = MessageBoxW(dlg, L"要继续吗？\n第二行", L"探针提问", MB_YESNO | MB_ICONQUESTION);
  SetDlgItemTextW(dlg, IDC_PROBE_ANSWER, answer == IDYES ? L"答：是" : L"答：否");
}

INT_PTR FolderLength(HWND dlg) { return GetWindowTextLengthW(GetDlgItem(dlg, IDC_PROBE_FOLDER)); }

bool OnCommand(HWND dlg, WORD id) {
  switch (id) {
    case IDC_PROBE_TICKED:  // the go button follows the box, as the install button does
      EnableWindow(GetDlgItem(dlg, IDC_PROBE_GO), IsDlgButtonChecked(dlg, IDC_PROBE_TICKED) == BST_CHECKED);
      return true;
    case IDC_PROBE_ASK:
      Ask(dlg);
      return true;
    case IDC_PROBE_GO:
      EndDialog(dlg, kGoBase + FolderLength(dlg));
      return true;
    case IDCANCEL:
      EndDialog(dlg, IDCANCEL);
      return true;
    default:
      return false;
  }
}

INT_PTR CALLBACK ProbeProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Init(dlg);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(dlg, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
      EndDialog(dlg, kClosedByCaption);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROBE), nullptr, ProbeProc, 0));
}
