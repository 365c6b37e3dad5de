// An in-memory window system: dialogs built from the program's templates, their
// controls with text, check, enabled and visible state, progress bars, message
// boxes with scripted answers, and GDI objects counted so a test sees leaks.
// A scripted user stands in front of each modal dialog.
//
// As on Windows: a message to a window goes to its hook (subclassing) first and
// then to its dialog procedure; setting the text of an edit control tells its
// parent with EN_CHANGE; a window being destroyed loses its hook.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/RcDialog.h"

namespace mem {

struct Window {
  plat::HWnd handle = 0;
  plat::HWnd parent = 0;
  int id = 0;
  std::string className;
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  bool visible = false;
  bool enabled = true;
  int check = 0;
  // Progress bars.
  int rangeLow = 0, rangeHigh = 100, step = 10, pos = 0, stepsTaken = 0;
  // Dialogs.
  plat::HGdi smallIcon = 0;
  bool ended = false;
  std::intptr_t result = 0;
  // Placement, in screen coordinates: the window's rectangle and the top left of
  // its client area. Windows from templates are left at 0 (nothing measures them).
  plat::Rect rect;
  plat::Point client;
  plat::HGdi font = 0;  // WM_SETFONT / WM_GETFONT
  bool destroyed = false;
};

struct MessageBoxCall {
  plat::HWnd owner;
  std::string text;
  std::string caption;
  std::uint32_t type;
  int answer;
};

struct DcState {
  std::uint32_t textColor = 0;
  int bkMode = plat::kBkOpaque;
  plat::HGdi font = 0;
};

struct GdiObject {
  enum Kind { kBrush, kFont } kind = kBrush;
  std::uint32_t color = 0;  // brushes
  int height = 0, weight = 0;
  std::uint32_t charSet = 0;
  std::string face;  // fonts
};

class MemoryWindows;

// The person in front of a modal dialog. Acts like mouse and keyboard: hidden or
// disabled controls do not respond.
class DialogUser {
 public:
  DialogUser(MemoryWindows& ws, plat::HWnd dialog) : m_ws(ws), m_dialog(dialog) {}

  plat::HWnd Dialog() const { return m_dialog; }
  bool Ended() const;
  void Click(int id);
  void PressEnter();                           // the dialog manager's default command: IDOK
  void PressEscape();                          // IDCANCEL
  void CloseBox();                             // IDCANCEL, as the caption's close box sends it
  void Type(int id, const std::string& text);  // replaces the text, raises EN_CHANGE

  const Window& Control(int id) const;
  // Asks the dialog to colour control `id` (0: the dialog itself) on a fresh
  // drawing context, as painting does; returns the brush and what was set on it.
  plat::HGdi Paint(int id, DcState& state);

 private:
  void Command(int id, int code);
  MemoryWindows& m_ws;
  plat::HWnd m_dialog;
};

class MemoryWindows : public plat::IWindowSystem {
 public:
  explicit MemoryWindows(FaultInjector& faults) : m_faults(faults) {}

  // Test set-up.
  void AddDialogTemplate(int id, DialogTemplate dialogTemplate) { m_templates[id] = std::move(dialogTemplate); }
  void SetIconAvailable(bool available) { m_iconAvailable = available; }
  // The user of the next modal dialog; without one the user closes it at once.
  void QueueUser(std::function<void(DialogUser&)> user) { m_users.push_back(std::move(user)); }
  void QueueMessageBoxAnswer(int answer) { m_answers.push_back(answer); }

  // Inspection.
  const std::vector<MessageBoxCall>& MessageBoxes() const { return m_messageBoxes; }
  std::size_t UnscriptedMessageBoxes() const { return m_unscripted; }
  const Window* Find(plat::HWnd handle) const;
  const Window* Control(plat::HWnd dialog, int id) const;
  plat::HWnd LastDialog() const { return m_lastDialog; }
  std::size_t LiveGdiObjects() const { return m_gdi.size(); }
  const GdiObject* Gdi(plat::HGdi object) const;
  bool ControlsInitialised() const { return m_controlsInitialised; }
  plat::HDc NewDc();
  const DcState& Dc(plat::HDc dc) const { return m_dcs.at(dc); }
  plat::HGdi TheIcon() const { return kIconHandle; }
  const plat::IWindowHook* Hook(plat::HWnd window) const;
  plat::HWnd Focus() const { return m_focus; }
  // The child windows of `parent`, in the order they were created.
  std::vector<const Window*> Children(plat::HWnd parent) const;

  // For the other in-memory platform parts that run windows of their own (the
  // shell's browse dialog). AddWindow gives the window its handle. BeginModal
  // makes `procedure` the dialog's procedure and the dialog the active window;
  // EndModal hides and destroys it and its children (detaching their hooks) and
  // returns what EndDialog was given, IDCANCEL when it was not ended.
  plat::HWnd AddWindow(Window window);
  void BeginModal(plat::HWnd dialog, plat::IDialogHost* procedure);
  std::intptr_t EndModal(plat::HWnd dialog);
  // A message through the window's hook, then its dialog procedure.
  plat::LResult Deliver(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam, plat::LParam lParam);

  // IWindowSystem
  void InitDialogControls() override { m_controlsInitialised = true; }
  std::intptr_t DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) override;
  bool EndDialog(plat::HWnd dialog, std::intptr_t result) override;
  plat::HWnd GetDlgItem(plat::HWnd dialog, int id) override;
  int GetDlgCtrlID(plat::HWnd window) override;
  plat::HWnd GetActiveWindow() override;
  bool EnableWindow(plat::HWnd window, bool enable) override;
  bool ShowWindow(plat::HWnd window, int command) override;
  std::string GetWindowTextA(plat::HWnd window, int maxChars = 0x7FFF) override;
  bool SetWindowTextA(plat::HWnd window, const char* text) override;
  plat::LResult SendMessageA(plat::HWnd window, std::uint32_t message, plat::WParam wParam,
                             plat::LParam lParam) override;
  plat::HWnd SetFocus(plat::HWnd window) override;
  int MessageBoxA(plat::HWnd owner, const char* text, const char* caption, std::uint32_t type) override;
  bool GetWindowRect(plat::HWnd window, plat::Rect* rect) override;
  bool ScreenToClient(plat::HWnd window, plat::Point* point) override;
  plat::HWnd CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName, std::uint32_t style,
                             int x, int y, int width, int height, plat::HWnd parent, std::uintptr_t menu,
                             std::uintptr_t instance, void* param) override;
  long SetWindowLongA(plat::HWnd window, int index, long value) override;
  bool SubclassWindow(plat::HWnd window, plat::IWindowHook* hook) override;
  bool UnsubclassWindow(plat::HWnd window) override;
  plat::HGdi LoadIconA(int resourceId) override;
  plat::HGdi CreateSolidBrush(std::uint32_t color) override;
  plat::HGdi CreateFontA(int height, int width, int escapement, int orientation, int weight, std::uint32_t italic,
                         std::uint32_t underline, std::uint32_t strikeOut, std::uint32_t charSet,
                         std::uint32_t outPrecision, std::uint32_t clipPrecision, std::uint32_t quality,
                         std::uint32_t pitchAndFamily, const char* faceName) override;
  bool DeleteObject(plat::HGdi object) override;
  plat::HGdi SelectObject(plat::HDc dc, plat::HGdi object) override;
  std::uint32_t SetTextColor(plat::HDc dc, std::uint32_t color) override;
  int SetBkMode(plat::HDc dc, int mode) override;

 private:
  friend class DialogUser;
  static constexpr plat::HGdi kIconHandle = 0x1C0;

  Window* Mutable(plat::HWnd handle);
  plat::HWnd CreateDialogWindows(const DialogTemplate& dialogTemplate, plat::HWnd owner);
  bool Dispatch(plat::HWnd window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam,
                plat::LResult* result);
  void Destroy(plat::HWnd window);
  void NotifyEditChange(const Window& edit);
  plat::LResult ProgressMessage(Window& bar, std::uint32_t message, plat::WParam wParam, plat::LParam lParam);

  FaultInjector& m_faults;
  std::map<int, DialogTemplate> m_templates;
  std::map<plat::HWnd, Window> m_windows;
  std::map<plat::HWnd, plat::IDialogHost*> m_hosts;
  std::map<plat::HWnd, plat::IWindowHook*> m_hooks;
  std::vector<plat::HWnd> m_modalStack;
  std::deque<std::function<void(DialogUser&)>> m_users;
  std::deque<int> m_answers;
  std::vector<MessageBoxCall> m_messageBoxes;
  std::size_t m_unscripted = 0;
  std::map<plat::HGdi, GdiObject> m_gdi;
  std::map<plat::HDc, DcState> m_dcs;
  plat::HWnd m_nextWindow = 0x10000;
  plat::HGdi m_nextGdi = 0x20000;
  plat::HDc m_nextDc = 0x30000;
  plat::HWnd m_lastDialog = 0;
  plat::HWnd m_focus = 0;
  bool m_iconAvailable = true;
  bool m_controlsInitialised = false;
};

}  // namespace mem
