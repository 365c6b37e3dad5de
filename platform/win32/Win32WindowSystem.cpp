#include "platform/win32/Win32WindowSystem.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "platform/win32/Win32SystemLibrary.h"

namespace w32 {
namespace {

HWND Wnd(plat::HWnd h) { return reinterpret_cast<HWND>(h); }
plat::HWnd Handle(HWND h) { return reinterpret_cast<plat::HWnd>(h); }
HDC Dc(plat::HDc h) { return reinterpret_cast<HDC>(h); }
HGDIOBJ Obj(plat::HGdi h) { return reinterpret_cast<HGDIOBJ>(h); }
plat::HGdi Gdi(const void* h) { return reinterpret_cast<plat::HGdi>(h); }

// The host rides in the dialog's DWLP_USER slot from WM_INITDIALOG on; messages
// that arrive before it (WM_SETFONT) take the dialog manager's defaults.
INT_PTR CALLBACK HostDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* host = reinterpret_cast<plat::IDialogHost*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (host == nullptr) return FALSE;
  return static_cast<INT_PTR>(host->HandleDialogMessage(Handle(dialog), message, wParam, lParam));
}

// Subclassing: our procedure in front of the window's own, the hook and the
// procedure it replaced in a property of the window.
constexpr char kHookProperty[] = "Vellmark.WindowHook";

struct HookRecord {
  plat::IWindowHook* hook;  // null once unhooked while our procedure had to stay
  WNDPROC previous;
};

LRESULT CALLBACK HookedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* record = static_cast<HookRecord*>(GetPropA(window, kHookProperty));
  if (record == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // Taken now: the hook may end the window, and WM_NCDESTROY frees the record.
  const WNDPROC previous = record->previous;
  if (message == WM_NCDESTROY) {
    plat::IWindowHook* hook = record->hook;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kHookProperty);
    delete record;
    if (hook != nullptr) hook->HookDetached(Handle(window));
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }
  plat::LResult result = 0;
  if (record->hook != nullptr && record->hook->HookMessage(Handle(window), message, wParam, lParam, &result))
    return result;
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace

void Win32WindowSystem::InitDialogControls() {
  // comctl32 is no KnownDLL: imported, it would be taken from the program's folder
  // (a downloads folder) before any code of ours runs. Loaded here, it comes from
  // the system folder, and stays loaded for the dialogs' lifetime (until exit).
  static const SystemLibrary comctl32("comctl32.dll");
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  using InitFn = void(WINAPI*)();
  if (auto initEx = comctl32.Proc<InitExFn>("InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    initEx(&controls);
  } else if (auto init = comctl32.Proc<InitFn>("InitCommonControls")) {
    // Versions before 4.70 have only this one; it registers every class.
    init();
  }
  // No comctl32 at all: the dialog naming the progress bar fails to be created,
  // and DialogBoxParamA says so (-1).
}

std::intptr_t Win32WindowSystem::DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) {
  return ::DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), Wnd(owner), HostDialogProc,
                           reinterpret_cast<LPARAM>(host));
}

bool Win32WindowSystem::EndDialog(plat::HWnd dialog, std::intptr_t result) {
  return ::EndDialog(Wnd(dialog), result) != FALSE;
}

plat::HWnd Win32WindowSystem::GetDlgItem(plat::HWnd dialog, int id) { return Handle(::GetDlgItem(Wnd(dialog), id)); }

int Win32WindowSystem::GetDlgCtrlID(plat::HWnd window) { return ::GetDlgCtrlID(Wnd(window)); }

plat::HWnd Win32WindowSystem::GetActiveWindow() { return Handle(::GetActiveWindow()); }

bool Win32WindowSystem::EnableWindow(plat::HWnd window, bool enable) {
  return ::EnableWindow(Wnd(window), enable ? TRUE : FALSE) != FALSE;
}

bool Win32WindowSystem::ShowWindow(plat::HWnd window, int command) {
  return ::ShowWindow(Wnd(window), command) != FALSE;
}

std::string Win32WindowSystem::GetWindowTextA(plat::HWnd window, int maxChars) {
  const int length = ::GetWindowTextLengthA(Wnd(window));
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(Wnd(window), buffer.data(), static_cast<int>(buffer.size()));
  std::string text(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
  if (maxChars > 0 && text.size() > static_cast<std::size_t>(maxChars)) text.resize(static_cast<std::size_t>(maxChars));
  return text;
}

bool Win32WindowSystem::SetWindowTextA(plat::HWnd window, const char* text) {
  return ::SetWindowTextA(Wnd(window), text) != FALSE;
}

plat::LResult Win32WindowSystem::SendMessageA(plat::HWnd window, std::uint32_t message, plat::WParam wParam,
                                              plat::LParam lParam) {
  return ::SendMessageA(Wnd(window), message, wParam, lParam);
}

plat::HWnd Win32WindowSystem::SetFocus(plat::HWnd window) { return Handle(::SetFocus(Wnd(window))); }

int Win32WindowSystem::MessageBoxA(plat::HWnd owner, const char* text, const char* caption, std::uint32_t type) {
  return ::MessageBoxA(Wnd(owner), text, caption, type);
}

bool Win32WindowSystem::GetWindowRect(plat::HWnd window, plat::Rect* rect) {
  RECT r{};
  if (rect == nullptr || !::GetWindowRect(Wnd(window), &r)) return false;
  *rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

bool Win32WindowSystem::ScreenToClient(plat::HWnd window, plat::Point* point) {
  if (point == nullptr) return false;
  POINT p{point->x, point->y};
  if (!::ScreenToClient(Wnd(window), &p)) return false;
  *point = {p.x, p.y};
  return true;
}

plat::HWnd Win32WindowSystem::CreateWindowExA(std::uint32_t exStyle, const char* className, const char* windowName,
                                              std::uint32_t style, int x, int y, int width, int height,
                                              plat::HWnd parent, std::uintptr_t menu, std::uintptr_t instance,
                                              void* param) {
  return Handle(::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, Wnd(parent),
                                  reinterpret_cast<HMENU>(menu), reinterpret_cast<HINSTANCE>(instance), param));
}

long Win32WindowSystem::SetWindowLongA(plat::HWnd window, int index, long value) {
  return ::SetWindowLongA(Wnd(window), index, value);
}

bool Win32WindowSystem::SubclassWindow(plat::HWnd window, plat::IWindowHook* hook) {
  HWND w = Wnd(window);
  if (hook == nullptr || !IsWindow(w) || GetPropA(w, kHookProperty) != nullptr) return false;
  auto* record = new HookRecord{hook, nullptr};
  if (!SetPropA(w, kHookProperty, record)) {
    delete record;
    return false;
  }
  // The A call: our procedure gets ANSI messages, and CallWindowProcA converts
  // them back for a Unicode procedure (the shell's browse dialog is one).
  // "::" because in the i686 headers SetWindowLongPtrA is a macro for SetWindowLongA, which
  // inside this class would name our own member.
  record->previous =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookedWindowProc)));
  if (record->previous == nullptr) {
    RemovePropA(w, kHookProperty);
    delete record;
    return false;
  }
  return true;
}

bool Win32WindowSystem::UnsubclassWindow(plat::HWnd window) {
  HWND w = Wnd(window);
  auto* record = static_cast<HookRecord*>(GetPropA(w, kHookProperty));
  if (record == nullptr || record->hook == nullptr) return false;
  // Someone subclassed the window after us: taking our procedure out would cut
  // theirs off too, so ours stays, passing everything on until WM_NCDESTROY.
  if (GetWindowLongPtrA(w, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&HookedWindowProc)) {
    record->hook = nullptr;
    return true;
  }
  ::SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->previous));
  RemovePropA(w, kHookProperty);
  delete record;
  return true;
}

plat::HGdi Win32WindowSystem::LoadIconA(int resourceId) {
  return Gdi(::LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

plat::HGdi Win32WindowSystem::CreateSolidBrush(std::uint32_t color) { return Gdi(::CreateSolidBrush(color)); }

plat::HGdi Win32WindowSystem::CreateFontA(int height, int width, int escapement, int orientation, int weight,
                                          std::uint32_t italic, std::uint32_t underline, std::uint32_t strikeOut,
                                          std::uint32_t charSet, std::uint32_t outPrecision,
                                          std::uint32_t clipPrecision, std::uint32_t quality,
                                          std::uint32_t pitchAndFamily, const char* faceName) {
  return Gdi(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                           outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

bool Win32WindowSystem::DeleteObject(plat::HGdi object) { return ::DeleteObject(Obj(object)) != FALSE; }

plat::HGdi Win32WindowSystem::SelectObject(plat::HDc dc, plat::HGdi object) {
  return Gdi(::SelectObject(Dc(dc), Obj(object)));
}

std::uint32_t Win32WindowSystem::SetTextColor(plat::HDc dc, std::uint32_t color) {
  return ::SetTextColor(Dc(dc), color);
}

int Win32WindowSystem::SetBkMode(plat::HDc dc, int mode) { return ::SetBkMode(Dc(dc), mode); }

}  // namespace w32
