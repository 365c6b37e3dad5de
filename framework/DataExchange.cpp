#include "framework/DataExchange.h"

namespace fw {

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  const HWND control = ::GetDlgItem(pDX->dialog, id);
  if (pDX->m_bSaveAndValidate)
    value = WindowText(control);
  else
    ::SetWindowTextA(control, value.c_str());
}

// A box that cannot be found keeps its state: read as unticked, it would leave
// a release out of the installation without a word.
void DDX_Check(CDataExchange* pDX, int id, int& value) {
  const HWND control = ::GetDlgItem(pDX->dialog, id);
  if (control == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    return;
  }
  // A check box knows 0, 1 and 2 (indeterminate); anything else would be a stray value.
  if (value < 0 || value > 2) value = 0;
  ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.GetSafeHwnd() == nullptr) control.Attach(::GetDlgItem(pDX->dialog, id));
}

}  // namespace fw
