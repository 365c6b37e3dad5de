// A modal dialog over a dialog procedure, in the manner of the classic Windows
// framework: a message table that routes commands to handler methods, data
// exchange between fields and controls, a control-colour hook, and the standard
// OK and Cancel actions.
#pragma once

#include <cstdint>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

namespace fw {

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

// Registers the common-control window classes (the progress bar) that dialog
// templates may use; Windows refuses to create a dialog naming an unknown class.
void InitDialogControls();

class CDialog : public CWnd {
 public:
  explicit CDialog(int templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

  // Runs the dialog modally; IDOK, IDCANCEL or -1 when it could not be created.
  virtual std::intptr_t DoModal();

  bool UpdateData(bool saveAndValidate = true);
  void EndDialog(int result) { ::EndDialog(m_hWnd, result); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

 protected:
  virtual void DoDataExchange(CDataExchange*) {}
  // Default: write the fields into the controls. TRUE lets the dialog manager
  // put the focus on the first tab stop.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Returns the background brush for `window`; the default leaves the colours to
  // the dialog manager (no brush).
  virtual HBRUSH OnCtlColor(HDC dc, HWND window, unsigned ctlColor);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  int m_templateId;
  HWND m_parent;
};

}  // namespace fw
