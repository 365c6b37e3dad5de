// Data exchange between a dialog's fields and its controls, in both directions:
// reading (m_bSaveAndValidate) copies controls into fields, writing the reverse.
#pragma once

#include <string>

#include "framework/Wnd.h"

namespace fw {

struct CDataExchange {
  HWND dialog;
  bool m_bSaveAndValidate;
};

// Window text of control `id` <-> `value`.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// Check state (0 or 1) of check box `id` <-> `value`.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Attaches `control` to the window of control `id` (both directions alike).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

}  // namespace fw
