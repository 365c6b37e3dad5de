#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shlobj.h>

namespace w32 {
namespace {

// The shell's IMalloc behind our interface; goes with its last Release.
class ShellMalloc final : public plat::IMalloc {
 public:
  explicit ShellMalloc(::IMalloc* malloc) : m_malloc(malloc) {}
  void Free(plat::ItemList list) override { m_malloc->Free(reinterpret_cast<void*>(list)); }
  unsigned long Release() override {
    const ULONG left = m_malloc->Release();
    delete this;
    return left;
  }

 private:
  ~ShellMalloc() = default;
  ::IMalloc* m_malloc;
};

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

HRESULT Win32Shell::SHGetMalloc(plat::IMalloc** malloc) {
  if (malloc == nullptr) return E_INVALIDARG;
  *malloc = nullptr;
  ::IMalloc* shell = nullptr;
  const HRESULT hr = ::SHGetMalloc(&shell);
  if (FAILED(hr) || shell == nullptr) return FAILED(hr) ? hr : E_FAIL;
  *malloc = new ShellMalloc(shell);
  return S_OK;
}

plat::ItemList Win32Shell::SHBrowseForFolderA(plat::BrowseInfo* info) {
  CallbackBridge bridge{info->callback, info->callbackData};
  BROWSEINFOA bi{};
  bi.hwndOwner = info->owner;
  bi.pidlRoot = reinterpret_cast<PCIDLIST_ABSOLUTE>(info->root);
  bi.pszDisplayName = info->displayName;
  bi.lpszTitle = info->title;
  bi.ulFlags = info->flags;
  bi.lpfn = info->callback == nullptr ? nullptr : &BrowseTrampoline;
  bi.lParam = reinterpret_cast<LPARAM>(&bridge);
  const PIDLIST_ABSOLUTE list = ::SHBrowseForFolderA(&bi);
  info->image = bi.iImage;
  return reinterpret_cast<plat::ItemList>(list);
}

bool Win32Shell::SHGetPathFromIDListA(plat::ItemList list, char* path) {
  return ::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(list), path) != FALSE;
}

}  // namespace w32
