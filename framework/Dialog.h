// A modal dialog over a dialog procedure, in the manner of the classic Windows
// framework: a message table that routes commands to handler methods, data
// exchange between fields and controls, a control-colour hook, and the standard
// OK and Cancel actions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

namespace fw {

class CDialog;

// One entry of a message table. `message` is WM_COMMAND (routed by notification
// code and control id) or kCtlColorMessages (every WM_CTLCOLOR* message, routed to
// the virtual OnCtlColor).
struct MessageEntry {
  std::uint32_t message;
  int notifyCode;
  int id;
  void (CDialog::*handler)();
};

constexpr std::uint32_t kCtlColorMessages = 0xFFFF0001u;

struct MessageTable {
  const MessageTable* base;  // consulted after this one
  const MessageEntry* entries;
  std::size_t count;
};

template <class T>
MessageEntry OnCommand(int notifyCode, int id, void (T::*handler)()) {
  return MessageEntry{plat::kWmCommand, notifyCode, id, static_cast<void (CDialog::*)()>(handler)};
}
inline MessageEntry OnCtlColorEntry() { return MessageEntry{kCtlColorMessages, 0, 0, nullptr}; }

// The CTLCOLOR_* kinds handed to OnCtlColor.
enum CtlColor : unsigned {
  kCtlColorMsgBox = 0,
  kCtlColorEdit,
  kCtlColorListBox,
  kCtlColorBtn,
  kCtlColorDlg,
  kCtlColorScrollBar,
  kCtlColorStatic
};

class CDialog : public CWnd, public plat::IDialogHost {
 public:
  CDialog(plat::IWindowSystem& ws, int templateId, plat::HWnd parent = 0)
      : CWnd(ws), m_templateId(templateId), m_parent(parent) {}
  ~CDialog() override = default;

  // Runs the dialog modally; IDOK, IDCANCEL or -1 when it could not be created.
  virtual std::intptr_t DoModal();

  bool UpdateData(bool saveAndValidate = true);
  void EndDialog(int result) { m_ws->EndDialog(m_hWnd, result); }
  plat::HWnd GetDlgItem(int id) const { return m_ws->GetDlgItem(m_hWnd, id); }

  plat::LResult HandleDialogMessage(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam,
                                    plat::LParam lParam) override;

 protected:
  virtual const MessageTable* GetMessageTable() const { return nullptr; }
  virtual void DoDataExchange(CDataExchange*) {}
  // Default: write the fields into the controls. TRUE lets the dialog manager
  // put the focus on the first tab stop.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Returns the background brush for `window`; the default leaves the colours to
  // the dialog manager (no brush).
  virtual plat::HGdi OnCtlColor(plat::HDc dc, plat::HWnd window, unsigned ctlColor);

 private:
  bool RouteCommand(int notifyCode, int id);
  bool HasCtlColorEntry() const;

  int m_templateId;
  plat::HWnd m_parent;
};

}  // namespace fw
