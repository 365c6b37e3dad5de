// Window objects of our small dialog framework: a window object attached to a
// window (and, subclassed, seeing its messages first), the message table that
// routes its commands to handler methods, the two kinds of control the setup
// dialog drives, and the GDI objects a dialog owns.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <string>

namespace fw {

class CWnd;

// One entry of a message table. `message` is WM_COMMAND (routed by notification
// code and control id) or kCtlColorMessages (every WM_CTLCOLOR* message, routed to
// the dialog's virtual OnCtlColor).
struct MessageEntry {
  UINT message;
  int notifyCode;
  int id;
  void (CWnd::*handler)();
};

constexpr UINT kCtlColorMessages = 0xFFFF0001u;

struct MessageTable {
  const MessageTable* base;  // consulted after this one
  const MessageEntry* entries;
  std::size_t count;
};

template <class T>
MessageEntry OnCommand(int notifyCode, int id, void (T::*handler)()) {
  return MessageEntry{WM_COMMAND, notifyCode, id, static_cast<void (CWnd::*)()>(handler)};
}
inline MessageEntry OnCtlColorEntry() { return MessageEntry{kCtlColorMessages, 0, 0, nullptr}; }

// The whole text of a window (code page 936).
std::string WindowText(HWND window);

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  // A window still subclassed is let go: its messages go to its own procedure again.
  virtual ~CWnd();

  HWND GetSafeHwnd() const { return m_hWnd; }
  void Attach(HWND window) { m_hWnd = window; }
  void Detach() { m_hWnd = nullptr; }

  bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE) != FALSE; }
  bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }

  // Puts this object in front of the window's own procedure until the window is
  // destroyed or the object goes: WM_COMMAND then goes through the message table
  // first. False when the window does not exist or is already one of ours.
  bool SubclassWindow(HWND window);

 protected:
  virtual const MessageTable* GetMessageTable() const { return nullptr; }
  // Calls the handler of the entry for (`notifyCode`, `id`); false when there is none.
  bool RouteCommand(int notifyCode, int id);
  bool HasCtlColorEntry() const;

  HWND m_hWnd = nullptr;

 private:
  friend struct Subclassing;
  void Unsubclass();
};

class CButton : public CWnd {
 public:
  int GetCheck() { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)); }
  void SetStep(int step) { SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)); }
  void SetPos(int pos) { SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)); }
  void StepIt() { SendMessage(PBM_STEPIT); }
};

// A GDI object owned by a dialog: created on demand, deleted with its owner.
class CGdiObject {
 public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  ~CGdiObject() { DeleteObject(); }

  HGDIOBJ GetSafeHandle() const { return m_object; }
  void DeleteObject() {
    if (m_object != nullptr) ::DeleteObject(m_object);
    m_object = nullptr;
  }

 protected:
  bool Own(HGDIOBJ object) {
    DeleteObject();
    m_object = object;
    return object != nullptr;
  }

 private:
  HGDIOBJ m_object = nullptr;
};

class CBrush : public CGdiObject {
 public:
  bool CreateSolidBrush(COLORREF color) { return Own(::CreateSolidBrush(color)); }
};

class CFont : public CGdiObject {
 public:
  // The installer's fonts: system-chosen width, upright, ANSI_CHARSET, defaults.
  bool CreateFont(int height, int weight, const char* face) {
    return Own(::CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face));
  }
};

}  // namespace fw
