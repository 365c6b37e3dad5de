#include "framework/Dialog.h"

namespace fw {

std::intptr_t CDialog::DoModal() {
  const std::intptr_t result = m_ws->DialogBoxParamA(m_templateId, m_parent, this);
  m_hWnd = 0;
  return result;
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx{*m_ws, m_hWnd, saveAndValidate};
  DoDataExchange(&dx);
  return true;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  UpdateData(true);
  EndDialog(plat::kIdOk);
}

void CDialog::OnCancel() { EndDialog(plat::kIdCancel); }

plat::HGdi CDialog::OnCtlColor(plat::HDc, plat::HWnd, unsigned) { return 0; }

plat::LResult CDialog::HandleDialogMessage(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam,
                                           plat::LParam lParam) {
  if (message == plat::kWmInitDialog) {
    m_hWnd = dialog;
    return OnInitDialog() ? 1 : 0;
  }
  if (message == plat::kWmCommand) {
    const int id = plat::LoWord(wParam);
    const int code = plat::HiWord(wParam);
    if (RouteCommand(code, id)) return 1;
    // No entry: the standard actions. The dialog manager sends IDOK for Enter and
    // IDCANCEL for Escape and the caption's close box.
    if (id == plat::kIdOk && code == plat::kBnClicked) {
      OnOK();
      return 1;
    }
    if (id == plat::kIdCancel && code == plat::kBnClicked) {
      OnCancel();
      return 1;
    }
    return 0;
  }
  if (message >= plat::kWmCtlColorMsgBox && message <= plat::kWmCtlColorStatic && HasCtlColorEntry()) {
    const auto brush =
        OnCtlColor(static_cast<plat::HDc>(wParam), static_cast<plat::HWnd>(lParam), message - plat::kWmCtlColorMsgBox);
    return static_cast<plat::LResult>(brush);
  }
  return 0;
}

bool CDialog::RouteCommand(int notifyCode, int id) {
  for (const MessageTable* table = GetMessageTable(); table != nullptr; table = table->base) {
    for (std::size_t i = 0; i < table->count; ++i) {
      const MessageEntry& e = table->entries[i];
      if (e.message == plat::kWmCommand && e.notifyCode == notifyCode && e.id == id) {
        (this->*e.handler)();
        return true;
      }
    }
  }
  return false;
}

bool CDialog::HasCtlColorEntry() const {
  for (const MessageTable* table = GetMessageTable(); table != nullptr; table = table->base)
    for (std::size_t i = 0; i < table->count; ++i)
      if (table->entries[i].message == kCtlColorMessages) return true;
  return false;
}

}  // namespace fw
