// Message boxes and the shell's folder-browse dialog as thin Win32 calls.
#pragma once

#include "platform/Shell.h"

namespace w32 {

class Win32Shell : public plat::IShell {
 public:
  int MessageBoxA(HWND owner, const char* text, const char* caption, std::uint32_t type) override;
  HRESULT CoInitializeEx(std::uint32_t coInit) override;
  void CoUninitialize() override;
  // The callback goes through a trampoline of ours: BFFCALLBACK is a CALLBACK
  // (stdcall on i686) function, plat::BrowseCallbackProc a plain one.
  void BrowseForFolderA(const plat::BrowseInfo& info) override;
  bool SHGetPathFromIDListA(plat::ItemList list, char* path) override;
};

}  // namespace w32
