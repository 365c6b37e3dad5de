// The window, dialog and drawing operations the installer's dialogs use: thin
// stand-ins for the Win32 calls of the same names. Texts are ANSI (code page 936).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace plat {

// Window styles and SetWindowLongA indexes the installer passes.
constexpr std::uint32_t kWsChild = 0x40000000u;
constexpr std::uint32_t kWsVisible = 0x10000000u;
constexpr std::uint32_t kWsTabStop = 0x00010000u;
constexpr std::uint32_t kEsAutoHScroll = 0x0080u;
constexpr std::uint32_t kWsExClientEdge = 0x00000200u;
constexpr int kGwlId = -12;

// RECT and POINT; screen or client coordinates as the call says.
struct Rect {
  long left = 0, top = 0, right = 0, bottom = 0;
};
struct Point {
  long x = 0, y = 0;
};

// Receives the messages of one modal dialog. The platform calls it from the
// dialog's window procedure; the result is what a DLGPROC returns (TRUE when the
// message was handled) and, for control-colour messages, the brush.
class IDialogHost {
 public:
  virtual ~IDialogHost() = default;
  virtual LResult HandleDialogMessage(HWnd dialog, std::uint32_t message, WParam wParam, LParam lParam) = 0;
};

// A window object attached to an existing window (subclassing): it sees the
// window's messages before the window's own procedure does.
class IWindowHook {
 public:
  virtual ~IWindowHook() = default;
  // True when the hook handled the message; the window's own procedure then does
  // not see it and `*result` is what the sender gets.
  virtual bool HookMessage(HWnd window, std::uint32_t message, WParam wParam, LParam lParam, LResult* result) = 0;
  // The window is going away (WM_NCDESTROY); the platform has already taken the
  // hook off, and will not call it again.
  virtual void HookDetached(HWnd window) = 0;
};

class IWindowSystem {
 public:
  virtual ~IWindowSystem() = default;

  // Registers the common-control window classes (the progress bar) that dialog
  // templates may use; Windows refuses to create a dialog naming an unknown class.
  virtual void InitDialogControls() = 0;

  // Runs dialog template `templateId` of the program modally; returns what
  // EndDialog was given, or -1 when the dialog could not be created.
  virtual std::intptr_t DialogBoxParamA(int templateId, HWnd owner, IDialogHost* host) = 0;
  virtual bool EndDialog(HWnd dialog, std::intptr_t result) = 0;

  virtual HWnd GetDlgItem(HWnd dialog, int id) = 0;
  virtual int GetDlgCtrlID(HWnd window) = 0;
  virtual HWnd GetActiveWindow() = 0;
  virtual bool EnableWindow(HWnd window, bool enable) = 0;
  virtual bool ShowWindow(HWnd window, int command) = 0;
  virtual std::string GetWindowTextA(HWnd window, int maxChars = 0x7FFF) = 0;
  virtual bool SetWindowTextA(HWnd window, const char* text) = 0;
  virtual LResult SendMessageA(HWnd window, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual HWnd SetFocus(HWnd window) = 0;
  virtual int MessageBoxA(HWnd owner, const char* text, const char* caption, std::uint32_t type) = 0;

  // Window rectangle in screen coordinates.
  virtual bool GetWindowRect(HWnd window, Rect* rect) = 0;
  virtual bool ScreenToClient(HWnd window, Point* point) = 0;
  // x, y are in the parent's client coordinates for a child window. `menu` is
  // the control id of a child (HMENU); 0 when none.
  virtual HWnd CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName,
                               std::uint32_t style, int x, int y, int width, int height, HWnd parent,
                               std::uintptr_t menu, std::uintptr_t instance, void* param) = 0;
  // Returns the previous value; 0 on failure (or when that was the value).
  virtual long SetWindowLongA(HWnd window, int index, long value) = 0;

  // Subclassing: `hook` sees the window's messages first until UnsubclassWindow
  // or the window's destruction. False when the window does not exist or already
  // has a hook of ours.
  virtual bool SubclassWindow(HWnd window, IWindowHook* hook) = 0;
  virtual bool UnsubclassWindow(HWnd window) = 0;

  // Icon resource of the program's own module; 0 when it does not load.
  virtual HGdi LoadIconA(int resourceId) = 0;

  // Drawing: brushes and fonts are GDI objects that must be deleted.
  virtual HGdi CreateSolidBrush(std::uint32_t color) = 0;
  virtual HGdi CreateFontA(int height, int width, int escapement, int orientation, int weight, std::uint32_t italic,
                           std::uint32_t underline, std::uint32_t strikeOut, std::uint32_t charSet,
                           std::uint32_t outPrecision, std::uint32_t clipPrecision, std::uint32_t quality,
                           std::uint32_t pitchAndFamily, const char* faceName) = 0;
  virtual bool DeleteObject(HGdi object) = 0;
  virtual HGdi SelectObject(HDc dc, HGdi object) = 0;
  virtual std::uint32_t SetTextColor(HDc dc, std::uint32_t color) = 0;
  virtual int SetBkMode(HDc dc, int mode) = 0;
};

// Owns one GDI object (brush or font) and deletes it on every way out.
class ScopedGdi {
 public:
  ScopedGdi() = default;
  ScopedGdi(IWindowSystem& ws, HGdi object) : m_ws(&ws), m_object(object) {}
  ScopedGdi(const ScopedGdi&) = delete;
  ScopedGdi& operator=(const ScopedGdi&) = delete;
  ~ScopedGdi() { Reset(); }

  HGdi get() const { return m_object; }
  void Reset() {
    if (m_object != 0) m_ws->DeleteObject(m_object);
    m_object = 0;
  }
  void Reset(IWindowSystem& ws, HGdi object) {
    Reset();
    m_ws = &ws;
    m_object = object;
  }

 private:
  IWindowSystem* m_ws = nullptr;
  HGdi m_object = 0;
};

}  // namespace plat
