// The window, dialog and drawing operations as thin Win32 calls.
#pragma once

#include "platform/WindowSystem.h"

namespace w32 {

class Win32WindowSystem : public plat::IWindowSystem {
 public:
  void InitDialogControls() override;
  std::intptr_t DialogBoxParamA(int templateId, plat::HWnd owner, plat::IDialogHost* host) override;
  bool EndDialog(plat::HWnd dialog, std::intptr_t result) override;
  plat::HWnd GetDlgItem(plat::HWnd dialog, int id) override;
  int GetDlgCtrlID(plat::HWnd window) override;
  plat::HWnd GetActiveWindow() override;
  bool EnableWindow(plat::HWnd window, bool enable) override;
  bool ShowWindow(plat::HWnd window, int command) override;
  std::string GetWindowTextA(plat::HWnd window, int maxChars) override;
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
  // The hook rides in a window property; our procedure calls it first and
  // passes what it leaves to the window's previous procedure.
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
};

}  // namespace w32
