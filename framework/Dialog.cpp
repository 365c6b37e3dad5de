#include "framework/Dialog.h"

#include "platform/win32/Win32SystemLibrary.h"

namespace fw {

void InitDialogControls() {
  // comctl32 is no KnownDLL: imported, it would be taken from the program's folder
  // (a downloads folder) before any code of ours runs. Loaded here, it comes from
  // the system folder, and stays loaded for the dialogs' lifetime (until exit).
  static const w32::SystemLibrary comctl32("comctl32.dll");
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitFn = void(WINAPI*)();
  if (auto initEx = comctl32.Proc<InitExFn>("InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    initEx(&controls);
  } else if (auto init = comctl32.Proc<InitFn>("InitCommonControls")) {
    // Versions before 4.70 have only this one; it registers every class.
    init();
  }
  // No comctl32 at all: the dialog naming the progress bar fails to be created,
  // and DoModal says so (-1).
}

std::intptr_t CDialog::DoModal() {
  const std::intptr_t result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), m_parent,
                                                 &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

// The dialog object rides in the dialog's DWLP_USER slot from WM_INITDIALOG on;
// messages that arrive before it (WM_SETFONT) take the dialog manager's defaults.
INT_PTR CALLBACK CDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  return self != nullptr ? self->HandleMessage(dialog, message, wParam, lParam) : FALSE;
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx{m_hWnd, saveAndValidate};
  DoDataExchange(&dx);
  return true;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

HBRUSH CDialog::OnCtlColor(HDC, HWND, unsigned) { return nullptr; }

INT_PTR CDialog::HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    m_hWnd = dialog;
    return OnInitDialog() ? TRUE : FALSE;
  }
  if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (RouteCommand(code, id)) return TRUE;
    // No entry: the standard actions. The dialog manager sends IDOK for Enter and
    // IDCANCEL for Escape and the caption's close box.
    if (id == IDOK && code == BN_CLICKED) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL && code == BN_CLICKED) {
      OnCancel();
      return TRUE;
    }
    return FALSE;
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && HasCtlColorEntry()) {
    const HBRUSH brush =
        OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message - WM_CTLCOLORMSGBOX);
    return reinterpret_cast<INT_PTR>(brush);
  }
  return FALSE;
}

}  // namespace fw
