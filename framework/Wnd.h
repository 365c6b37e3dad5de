// Window objects of our small dialog framework: a control object attached to a
// window of a dialog, and the two kinds of control the setup dialog drives.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WindowSystem.h"

namespace fw {

class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(plat::IWindowSystem& ws) : m_ws(&ws) {}
  virtual ~CWnd() = default;

  plat::HWnd GetSafeHwnd() const { return m_hWnd; }
  void Attach(plat::IWindowSystem& ws, plat::HWnd window) {
    m_ws = &ws;
    m_hWnd = window;
  }
  void Detach() { m_hWnd = 0; }

  bool EnableWindow(bool enable) { return m_ws->EnableWindow(m_hWnd, enable); }
  bool ShowWindow(int command) { return m_ws->ShowWindow(m_hWnd, command); }
  plat::LResult SendMessage(std::uint32_t message, plat::WParam wParam = 0, plat::LParam lParam = 0) {
    return m_ws->SendMessageA(m_hWnd, message, wParam, lParam);
  }

  plat::IWindowSystem& Windows() const { return *m_ws; }

 protected:
  plat::IWindowSystem* m_ws = nullptr;
  plat::HWnd m_hWnd = 0;
};

class CButton : public CWnd {
 public:
  int GetCheck() { return static_cast<int>(SendMessage(plat::kBmGetCheck)); }
  void SetCheck(int state) { SendMessage(plat::kBmSetCheck, static_cast<plat::WParam>(state)); }
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper) {
    SendMessage(plat::kPbmSetRange, 0, static_cast<plat::LParam>(plat::MakeWParam(lower, upper)));
  }
  void SetStep(int step) { SendMessage(plat::kPbmSetStep, static_cast<plat::WParam>(step)); }
  void SetPos(int pos) { SendMessage(plat::kPbmSetPos, static_cast<plat::WParam>(pos)); }
  void StepIt() { SendMessage(plat::kPbmStepIt); }
};

// A GDI object owned by a dialog: created on demand, deleted with its owner.
class CGdiObject {
 public:
  plat::HGdi GetSafeHandle() const { return m_object.get(); }
  void DeleteObject() { m_object.Reset(); }

 protected:
  plat::ScopedGdi m_object;
};

class CBrush : public CGdiObject {
 public:
  bool CreateSolidBrush(plat::IWindowSystem& ws, std::uint32_t color) {
    m_object.Reset(ws, ws.CreateSolidBrush(color));
    return m_object.get() != 0;
  }
};

class CFont : public CGdiObject {
 public:
  // The installer's fonts: system-chosen width, upright, ANSI_CHARSET, defaults.
  bool CreateFont(plat::IWindowSystem& ws, int height, int weight, const char* face) {
    m_object.Reset(ws, ws.CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face));
    return m_object.get() != 0;
  }
};

}  // namespace fw
