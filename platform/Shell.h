// What only the user answers: message boxes, and the shell's folder-browse dialog
// with what comes with it: the shell allocator (SHGetMalloc, IMalloc::Free and
// Release), SHBrowseForFolderA over a BROWSEINFOA-like record with its callback,
// and SHGetPathFromIDListA. Texts are ANSI (code page 936).
#pragma once

#include <cstdint>

#include <windows.h>

#include <shlobj.h>

namespace plat {

// An item identifier list (LPITEMIDLIST): names one item of the shell's
// namespace, a folder or a virtual item like the desktop's computer. 0 = none.
using ItemList = std::uintptr_t;

// BFFCALLBACK: (browse window, message, lParam, callback data); returns 0.
using BrowseCallbackProc = int (*)(HWND window, std::uint32_t message, LPARAM lParam, LPARAM data);

// BROWSEINFOA, in its own field order.
struct BrowseInfo {
  HWND owner = 0;
  ItemList root = 0;            // 0: the tree starts at the desktop
  char* displayName = nullptr;  // receives the chosen item's name; MAX_PATH bytes
  const char* title = nullptr;  // shown above the tree
  std::uint32_t flags = 0;
  BrowseCallbackProc callback = nullptr;
  LPARAM callbackData = 0;
  int image = 0;  // filled in by the shell
};

// The shell's task allocator, as far as the installer uses it (IMalloc).
class IMalloc {
 public:
  virtual void Free(ItemList list) = 0;
  virtual unsigned long Release() = 0;

 protected:
  ~IMalloc() = default;  // COM objects go through Release, never delete
};

class IShell {
 public:
  virtual ~IShell() = default;
  // MessageBoxA: the button the user chose (IDOK, IDYES, ...); 0 when the box
  // could not be shown.
  virtual int MessageBoxA(HWND owner, const char* text, const char* caption, std::uint32_t type) = 0;
  // COM on the calling thread, which the browse dialog needs apartment-threaded
  // for the namespace extensions in its tree (cloud drives, network providers).
  // S_OK or S_FALSE (already initialised) to be balanced by CoUninitialize.
  virtual HRESULT CoInitializeEx(std::uint32_t coInit) = 0;
  virtual void CoUninitialize() = 0;
  // S_OK and an allocator holding one reference, or a failure and null.
  virtual HRESULT SHGetMalloc(IMalloc** malloc) = 0;
  // Runs the browse dialog modally. An item list (to be freed with the shell
  // allocator) when it ended with OK, 0 when it was cancelled or not shown.
  virtual ItemList SHBrowseForFolderA(BrowseInfo* info) = 0;
  // The item's file-system path into `path` (MAX_PATH bytes); false for virtual
  // items, which leave `path` empty.
  virtual bool SHGetPathFromIDListA(ItemList list, char* path) = 0;
};

// Holds one reference to the shell allocator; releases it on every way out.
class ScopedMalloc {
 public:
  ScopedMalloc() = default;
  ScopedMalloc(const ScopedMalloc&) = delete;
  ScopedMalloc& operator=(const ScopedMalloc&) = delete;
  ~ScopedMalloc() {
    if (m_malloc != nullptr) m_malloc->Release();
  }
  IMalloc** put() { return &m_malloc; }
  IMalloc* get() const { return m_malloc; }

 private:
  IMalloc* m_malloc = nullptr;
};

}  // namespace plat
