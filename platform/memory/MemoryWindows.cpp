#include "platform/memory/MemoryWindows.h"

#include <stdexcept>

#include "text/AnsiText.h"

namespace mem {

// ---- the user in front of a dialog ----

bool DialogUser::Ended() const { return m_ws.Find(m_dialog)->ended; }

void DialogUser::Command(int id, int code) {
  if (Ended()) return;
  const plat::HWnd control = m_ws.GetDlgItem(m_dialog, id);
  m_ws.Deliver(m_dialog, plat::kWmCommand, plat::MakeWParam(static_cast<unsigned>(id), static_cast<unsigned>(code)),
               static_cast<plat::LParam>(control));
}

void DialogUser::Click(int id) {
  Window* control = m_ws.Mutable(m_ws.GetDlgItem(m_dialog, id));
  if (Ended() || control == nullptr || !control->visible || !control->enabled) return;
  // An auto check box flips its own state before it tells its parent.
  if (control->className == "Button" && (control->style & kBsTypeMask) == kBsAutoCheckBox)
    control->check = control->check == plat::kBstChecked ? plat::kBstUnchecked : plat::kBstChecked;
  Command(id, plat::kBnClicked);
}

void DialogUser::PressEnter() { Command(plat::kIdOk, plat::kBnClicked); }
void DialogUser::PressEscape() { Command(plat::kIdCancel, plat::kBnClicked); }
void DialogUser::CloseBox() { Command(plat::kIdCancel, plat::kBnClicked); }

void DialogUser::Type(int id, const std::string& text) {
  Window* control = m_ws.Mutable(m_ws.GetDlgItem(m_dialog, id));
  if (Ended() || control == nullptr || !control->visible || !control->enabled) return;
  control->text = text;
  Command(id, plat::kEnChange);
}

const Window& DialogUser::Control(int id) const {
  const Window* control = m_ws.Control(m_dialog, id);
  if (control == nullptr) throw std::out_of_range("no control " + std::to_string(id));
  return *control;
}

plat::HGdi DialogUser::Paint(int id, DcState& state) {
  const plat::HWnd window = id == 0 ? m_dialog : m_ws.GetDlgItem(m_dialog, id);
  const Window* w = m_ws.Find(window);
  std::uint32_t message = plat::kWmCtlColorStatic;
  if (id == 0)
    message = plat::kWmCtlColorDlg;
  else if (w->className == "Edit")
    message = plat::kWmCtlColorEdit;
  else if (w->className == "Button")
    message = plat::kWmCtlColorBtn;
  const plat::HDc dc = m_ws.NewDc();
  const auto brush = m_ws.Deliver(m_dialog, message, dc, static_cast<plat::LParam>(window));
  state = m_ws.Dc(dc);
  return static_cast<plat::HGdi>(brush);
}

// ---- dialogs ----

Window* MemoryWindows::Mutable(plat::HWnd handle) {
  auto it = m_windows.find(handle);
  return it == m_windows.end() ? nullptr : &it->second;
}

const Window* MemoryWindows::Find(plat::HWnd handle) const {
  auto it = m_windows.find(handle);
  return it == m_windows.end() ? nullptr : &it->second;
}

const Window* MemoryWindows::Control(plat::HWnd dialog, int id) const {
  for (const auto& [handle, w] : m_windows)
    if (w.parent == dialog && w.id == id) return &w;
  return nullptr;
}

plat::HWnd MemoryWindows::CreateDialogWindows(const DialogTemplate& dialogTemplate, plat::HWnd owner) {
  Window dialog;
  dialog.handle = m_nextWindow++;
  dialog.parent = owner;
  dialog.className = "#32770";
  dialog.text = dialogTemplate.caption;
  dialog.style = dialogTemplate.style;
  dialog.visible = true;
  m_windows[dialog.handle] = dialog;
  for (const ControlTemplate& c : dialogTemplate.controls) {
    Window control;
    control.handle = m_nextWindow++;
    control.parent = dialog.handle;
    control.id = c.id;
    control.className = c.className;
    control.text = c.text;
    control.style = c.style;
    control.visible = (c.style & kWsVisible) != 0;
    control.enabled = (c.style & kWsDisabled) == 0;
    m_windows[control.handle] = control;
  }
  return dialog.handle;
}

plat::LResult MemoryWindows::Deliver(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam,
                                     plat::LParam lParam) {
  plat::LResult result = 0;
  Dispatch(dialog, message, wParam, lParam, &result);
  return result;
}

// True when the hook or the dialog procedure handled the message (a dialog
// procedure says so with a non-zero result).
bool MemoryWindows::Dispatch(plat::HWnd window, std::uint32_t message, plat::WParam wParam, plat::LParam lParam,
                             plat::LResult* result) {
  *result = 0;
  auto hook = m_hooks.find(window);
  if (hook != m_hooks.end() && hook->second->HookMessage(window, message, wParam, lParam, result)) return true;
  auto host = m_hosts.find(window);
  if (host == m_hosts.end() || host->second == nullptr) return false;
  *result = host->second->HandleDialogMessage(window, message, wParam, lParam);
  return *result != 0;
}

std::intptr_t MemoryWindows::DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) {
  if (m_faults.ShouldFail("DialogBoxParamA")) return -1;
  auto it = m_templates.find(templateId);
  if (it == m_templates.end()) return -1;
  // Windows refuses a template naming a window class nobody registered.
  for (const ControlTemplate& c : it->second.controls)
    if (c.className == "msctls_progress32" && !m_controlsInitialised) return -1;

  const plat::HWnd dialog = CreateDialogWindows(it->second, owner);
  BeginModal(dialog, host);
  Deliver(dialog, plat::kWmInitDialog, 0, 0);
  DialogUser user(*this, dialog);
  if (!m_users.empty()) {
    auto script = std::move(m_users.front());
    m_users.pop_front();
    script(user);
  }
  if (!user.Ended()) user.CloseBox();
  return EndModal(dialog);
}

plat::HWnd MemoryWindows::AddWindow(Window window) {
  window.handle = m_nextWindow++;
  m_windows[window.handle] = window;
  return window.handle;
}

void MemoryWindows::BeginModal(plat::HWnd dialog, plat::IDialogHost* procedure) {
  m_hosts[dialog] = procedure;
  m_lastDialog = dialog;
  m_modalStack.push_back(dialog);
}

std::intptr_t MemoryWindows::EndModal(plat::HWnd dialog) {
  if (!m_modalStack.empty() && m_modalStack.back() == dialog) m_modalStack.pop_back();
  m_hosts.erase(dialog);
  Window* w = Mutable(dialog);
  w->visible = false;
  Destroy(dialog);
  return w->ended ? w->result : plat::kIdCancel;
}

// Children go before their parent, as WM_NCDESTROY reaches them.
void MemoryWindows::Destroy(plat::HWnd window) {
  for (auto& [handle, child] : m_windows)
    if (child.parent == window && !child.destroyed && handle != window) Destroy(handle);
  Window* w = Mutable(window);
  if (w == nullptr || w->destroyed) return;
  w->destroyed = true;
  auto hook = m_hooks.find(window);
  if (hook == m_hooks.end()) return;
  plat::IWindowHook* detached = hook->second;
  m_hooks.erase(hook);
  detached->HookDetached(window);
}

bool MemoryWindows::EndDialog(plat::HWnd dialog, std::intptr_t result) {
  Window* w = Mutable(dialog);
  if (w == nullptr || m_hosts.count(dialog) == 0) return false;
  w->ended = true;
  w->result = result;
  return true;
}

plat::HWnd MemoryWindows::GetDlgItem(plat::HWnd dialog, int id) {
  const Window* control = Control(dialog, id);
  return control == nullptr ? 0 : control->handle;
}

int MemoryWindows::GetDlgCtrlID(plat::HWnd window) {
  const Window* w = Find(window);
  return w == nullptr || w->className == "#32770" ? 0 : w->id;
}

plat::HWnd MemoryWindows::GetActiveWindow() { return m_modalStack.empty() ? 0 : m_modalStack.back(); }

bool MemoryWindows::EnableWindow(plat::HWnd window, bool enable) {
  Window* w = Mutable(window);
  if (w == nullptr) return false;
  const bool wasDisabled = !w->enabled;
  w->enabled = enable;
  return wasDisabled;  // as Windows: non-zero when the window was disabled before
}

bool MemoryWindows::ShowWindow(plat::HWnd window, int command) {
  Window* w = Mutable(window);
  if (w == nullptr) return false;
  const bool wasVisible = w->visible;
  w->visible = command != plat::kSwHide;
  return wasVisible;
}

std::string MemoryWindows::GetWindowTextA(plat::HWnd window, int maxChars) {
  const Window* w = Find(window);
  if (w == nullptr) return std::string();
  return w->text.substr(0, static_cast<std::size_t>(maxChars));
}

bool MemoryWindows::SetWindowTextA(plat::HWnd window, const char* text) {
  Window* w = Mutable(window);
  if (w == nullptr) return false;
  w->text = text == nullptr ? "" : text;
  // An edit control tells its parent even when the text stays the same.
  if (ansi::EqualsNoCase(w->className, "Edit")) NotifyEditChange(*w);
  return true;
}

void MemoryWindows::NotifyEditChange(const Window& edit) {
  if (edit.parent == 0 || edit.destroyed) return;
  Deliver(edit.parent, plat::kWmCommand,
          plat::MakeWParam(static_cast<unsigned>(edit.id), static_cast<unsigned>(plat::kEnChange)),
          static_cast<plat::LParam>(edit.handle));
}

plat::LResult MemoryWindows::SendMessageA(plat::HWnd window, std::uint32_t message, plat::WParam wParam,
                                          plat::LParam lParam) {
  Window* w = Mutable(window);
  if (w == nullptr) return 0;
  // The window's procedure first: its hook, then a dialog's own procedure.
  plat::LResult handled = 0;
  if (Dispatch(window, message, wParam, lParam, &handled)) return handled;
  switch (message) {
    case plat::kWmGetFont:
      return static_cast<plat::LResult>(w->font);
    case plat::kWmSetFont:
      w->font = static_cast<plat::HGdi>(wParam);
      return 0;
    case plat::kBmGetCheck:
      return w->check;
    case plat::kBmSetCheck:
      w->check = static_cast<int>(wParam);
      return 0;
    case plat::kWmSetIcon: {
      const plat::HGdi previous = w->smallIcon;
      if (wParam == static_cast<plat::WParam>(plat::kIconSmall)) w->smallIcon = static_cast<plat::HGdi>(lParam);
      return static_cast<plat::LResult>(previous);
    }
    default:
      break;
  }
  if (w->className == "msctls_progress32") return ProgressMessage(*w, message, wParam, lParam);
  return 0;
}

plat::LResult MemoryWindows::ProgressMessage(Window& bar, std::uint32_t message, plat::WParam wParam,
                                             plat::LParam lParam) {
  const int previousPos = bar.pos;
  switch (message) {
    case plat::kPbmSetRange: {
      const plat::LResult previous = static_cast<plat::LResult>(
          plat::MakeWParam(static_cast<unsigned>(bar.rangeLow), static_cast<unsigned>(bar.rangeHigh)));
      bar.rangeLow = plat::LoWord(static_cast<std::uintptr_t>(lParam));
      bar.rangeHigh = plat::HiWord(static_cast<std::uintptr_t>(lParam));
      return previous;
    }
    case plat::kPbmSetStep: {
      const int previous = bar.step;
      bar.step = static_cast<int>(wParam);
      return previous;
    }
    case plat::kPbmSetPos:
      bar.pos = static_cast<int>(wParam);
      if (bar.pos < bar.rangeLow) bar.pos = bar.rangeLow;
      if (bar.pos > bar.rangeHigh) bar.pos = bar.rangeHigh;
      return previousPos;
    case plat::kPbmStepIt:
      // Past the end the bar starts over from the beginning.
      bar.pos += bar.step;
      if (bar.pos > bar.rangeHigh) bar.pos = bar.rangeLow;
      ++bar.stepsTaken;
      return previousPos;
    default:
      return 0;
  }
}

plat::HWnd MemoryWindows::SetFocus(plat::HWnd window) {
  const Window* w = Find(window);
  if (w == nullptr || w->destroyed) return 0;
  const plat::HWnd previous = m_focus;
  m_focus = window;
  return previous;
}

int MemoryWindows::MessageBoxA(plat::HWnd owner, const char* text, const char* caption, std::uint32_t type) {
  if (m_faults.ShouldFail("MessageBoxA")) return 0;
  int answer = plat::kIdOk;
  const std::uint32_t buttons = type & 0xFu;
  if (!m_answers.empty()) {
    answer = m_answers.front();
    m_answers.pop_front();
  } else if (buttons != plat::kMbOk) {
    // Nobody said what to answer: take the first button, and let the test see it.
    ++m_unscripted;
    answer = buttons == plat::kMbAbortRetryIgnore ? plat::kIdAbort
             : buttons == plat::kMbYesNo          ? plat::kIdYes
                                                  : plat::kIdOk;
  }
  m_messageBoxes.push_back({owner, text == nullptr ? "" : text, caption == nullptr ? "" : caption, type, answer});
  return answer;
}

// ---- placement, child windows and subclassing ----

bool MemoryWindows::GetWindowRect(plat::HWnd window, plat::Rect* rect) {
  const Window* w = Find(window);
  if (w == nullptr || w->destroyed || rect == nullptr) return false;
  *rect = w->rect;
  return true;
}

bool MemoryWindows::ScreenToClient(plat::HWnd window, plat::Point* point) {
  const Window* w = Find(window);
  if (w == nullptr || w->destroyed || point == nullptr) return false;
  point->x -= w->client.x;
  point->y -= w->client.y;
  return true;
}

plat::HWnd MemoryWindows::CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName,
                                          std::uint32_t style, int x, int y, int width, int height, plat::HWnd parent,
                                          std::uintptr_t menu, std::uintptr_t, void*) {
  if (m_faults.ShouldFail("CreateWindowExA")) return 0;
  const Window* owner = Find(parent);
  // A child needs a living parent (ERROR_TLW_WITH_WSCHILD); only the system
  // classes the installer creates are known (ERROR_CANNOT_FIND_WND_CLASS).
  if ((style & plat::kWsChild) != 0 && (owner == nullptr || owner->destroyed)) return 0;
  const std::string name = className == nullptr ? "" : className;
  if (!ansi::EqualsNoCase(name, "Edit") && !ansi::EqualsNoCase(name, "Static") && !ansi::EqualsNoCase(name, "Button"))
    return 0;
  Window w;
  w.parent = parent;
  w.id = (style & plat::kWsChild) != 0 ? static_cast<int>(menu) : 0;
  w.className = name;
  w.text = windowName == nullptr ? "" : windowName;
  w.style = style;
  w.exStyle = exStyle;
  w.visible = (style & plat::kWsVisible) != 0;
  const plat::Point origin = owner == nullptr ? plat::Point{} : owner->client;
  w.rect = {origin.x + x, origin.y + y, origin.x + x + width, origin.y + y + height};
  w.client = {w.rect.left, w.rect.top};
  return AddWindow(w);
}

long MemoryWindows::SetWindowLongA(plat::HWnd window, int index, long value) {
  Window* w = Mutable(window);
  if (w == nullptr || w->destroyed || index != plat::kGwlId) return 0;
  const long previous = w->id;
  w->id = static_cast<int>(value);
  return previous;
}

bool MemoryWindows::SubclassWindow(plat::HWnd window, plat::IWindowHook* hook) {
  const Window* w = Find(window);
  if (w == nullptr || w->destroyed || hook == nullptr || m_hooks.count(window) != 0) return false;
  m_hooks[window] = hook;
  return true;
}

bool MemoryWindows::UnsubclassWindow(plat::HWnd window) { return m_hooks.erase(window) == 1; }

std::vector<const Window*> MemoryWindows::Children(plat::HWnd parent) const {
  std::vector<const Window*> children;
  for (const auto& [handle, w] : m_windows)
    if (w.parent == parent && handle != parent) children.push_back(&w);
  return children;
}

const plat::IWindowHook* MemoryWindows::Hook(plat::HWnd window) const {
  auto it = m_hooks.find(window);
  return it == m_hooks.end() ? nullptr : it->second;
}

// ---- resources and drawing ----

plat::HGdi MemoryWindows::LoadIconA(int resourceId) {
  if (m_faults.ShouldFail("LoadIconA")) return 0;
  return m_iconAvailable && resourceId == 1 ? kIconHandle : 0;
}

plat::HGdi MemoryWindows::CreateSolidBrush(std::uint32_t color) {
  if (m_faults.ShouldFail("CreateSolidBrush")) return 0;
  GdiObject brush;
  brush.kind = GdiObject::kBrush;
  brush.color = color;
  m_gdi[m_nextGdi] = brush;
  return m_nextGdi++;
}

plat::HGdi MemoryWindows::CreateFontA(int height, int, int, int, int weight, std::uint32_t, std::uint32_t,
                                      std::uint32_t, std::uint32_t charSet, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t, const char* faceName) {
  if (m_faults.ShouldFail("CreateFontA")) return 0;
  GdiObject font;
  font.kind = GdiObject::kFont;
  font.height = height;
  font.weight = weight;
  font.charSet = charSet;
  font.face = faceName == nullptr ? "" : faceName;
  m_gdi[m_nextGdi] = font;
  return m_nextGdi++;
}

const GdiObject* MemoryWindows::Gdi(plat::HGdi object) const {
  auto it = m_gdi.find(object);
  return it == m_gdi.end() ? nullptr : &it->second;
}

bool MemoryWindows::DeleteObject(plat::HGdi object) { return m_gdi.erase(object) == 1; }

plat::HDc MemoryWindows::NewDc() {
  m_dcs[m_nextDc] = DcState();
  return m_nextDc++;
}

plat::HGdi MemoryWindows::SelectObject(plat::HDc dc, plat::HGdi object) {
  auto it = m_dcs.find(dc);
  if (it == m_dcs.end() || m_gdi.count(object) == 0) return 0;
  const plat::HGdi previous = it->second.font;
  it->second.font = object;
  return previous;
}

std::uint32_t MemoryWindows::SetTextColor(plat::HDc dc, std::uint32_t color) {
  DcState& state = m_dcs.at(dc);
  const std::uint32_t previous = state.textColor;
  state.textColor = color;
  return previous;
}

int MemoryWindows::SetBkMode(plat::HDc dc, int mode) {
  DcState& state = m_dcs.at(dc);
  const int previous = state.bkMode;
  state.bkMode = mode;
  return previous;
}

}  // namespace mem
