#include "framework/Wnd.h"

#include <vector>

namespace fw {

// Subclassing: our procedure in front of the window's own; the window object and
// the procedure it replaced ride in a property of the window.
struct Subclassing {
  static constexpr char kProperty[] = "Vellmark.WindowObject";
  CWnd* wnd;  // null once let go while our procedure had to stay
  WNDPROC previous;

  static Subclassing* Of(HWND window) { return static_cast<Subclassing*>(::GetPropA(window, kProperty)); }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Subclassing* record = Of(window);
    if (record == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
    // Taken now: a handler may end the window, and WM_NCDESTROY frees the record.
    const WNDPROC previous = record->previous;
    if (message == WM_NCDESTROY) {
      CWnd* wnd = record->wnd;
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      ::RemovePropA(window, kProperty);
      delete record;
      if (wnd != nullptr) wnd->Detach();
      return ::CallWindowProcA(previous, window, message, wParam, lParam);
    }
    if (message == WM_COMMAND && record->wnd != nullptr && record->wnd->RouteCommand(HIWORD(wParam), LOWORD(wParam)))
      return 0;
    return ::CallWindowProcA(previous, window, message, wParam, lParam);
  }
};

std::string WindowText(HWND window) {
  std::vector<char> buffer(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
  const int got = ::GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

CWnd::~CWnd() { Unsubclass(); }

bool CWnd::SubclassWindow(HWND window) {
  if (!::IsWindow(window) || Subclassing::Of(window) != nullptr) return false;
  auto* record = new Subclassing{this, nullptr};
  if (!::SetPropA(window, Subclassing::kProperty, record)) {
    delete record;
    return false;
  }
  // The A call: our procedure gets ANSI messages, and CallWindowProcA converts
  // them back for a Unicode procedure (the shell's browse dialog is one).
  record->previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclassing::Proc)));
  if (record->previous == nullptr) {
    ::RemovePropA(window, Subclassing::kProperty);
    delete record;
    return false;
  }
  m_hWnd = window;
  return true;
}

void CWnd::Unsubclass() {
  Subclassing* record = m_hWnd != nullptr ? Subclassing::Of(m_hWnd) : nullptr;
  if (record == nullptr || record->wnd != this) return;
  // Someone subclassed the window after us: taking our procedure out would cut
  // theirs off too, so ours stays, passing everything on until WM_NCDESTROY.
  if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Subclassing::Proc)) {
    record->wnd = nullptr;
  } else {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->previous));
    ::RemovePropA(m_hWnd, Subclassing::kProperty);
    delete record;
  }
  m_hWnd = nullptr;
}

bool CWnd::RouteCommand(int notifyCode, int id) {
  for (const MessageTable* table = GetMessageTable(); table != nullptr; table = table->base) {
    for (std::size_t i = 0; i < table->count; ++i) {
      const MessageEntry& e = table->entries[i];
      if (e.message == WM_COMMAND && e.notifyCode == notifyCode && e.id == id) {
        (this->*e.handler)();
        return true;
      }
    }
  }
  return false;
}

bool CWnd::HasCtlColorEntry() const {
  for (const MessageTable* table = GetMessageTable(); table != nullptr; table = table->base)
    for (std::size_t i = 0; i < table->count; ++i)
      if (table->entries[i].message == kCtlColorMessages) return true;
  return false;
}

}  // namespace fw
