#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shlobj.h>

namespace w32 {
namespace {

struct CallbackBridge {
  plat::BrowseCallbackProc callback;
  LPARAM data;
};

int CALLBACK BrowseTrampoline(HWND window, UINT message, LPARAM lParam, LPARAM data) {
  const auto* bridge = reinterpret_cast<const CallbackBridge*>(data);
  return bridge->callback(window, message, lParam, bridge->data);
}

}  // namespace

int Win32Shell::MessageBoxA(HWND owner, const char* text, const char* caption, std::uint32_t type) {
  return ::MessageBoxA(owner, text, caption, type);
}

HRESULT Win32Shell::CoInitializeEx(std::uint32_t coInit) { return ::CoInitializeEx(nullptr, coInit); }

void Win32Shell::CoUninitialize() { ::CoUninitialize(); }

void Win32Shell::BrowseForFolderA(const plat::BrowseInfo& info) {
  CallbackBridge bridge{info.callback, info.callbackData};
  char displayName[MAX_PATH] = {};  // the chosen item's name, which we do not use
  BROWSEINFOA bi{};
  bi.hwndOwner = info.owner;
  bi.pszDisplayName = displayName;
  bi.lpszTitle = info.title;
  bi.ulFlags = info.flags;
  bi.lpfn = info.callback == nullptr ? nullptr : &BrowseTrampoline;
  bi.lParam = reinterpret_cast<LPARAM>(&bridge);
  // The chosen item's list is ours to free; null (nothing chosen) frees nothing.
  ::CoTaskMemFree(::SHBrowseForFolderA(&bi));
}

bool Win32Shell::SHGetPathFromIDListA(plat::ItemList list, char* path) {
  return ::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(list), path) != FALSE;
}

}  // namespace w32
