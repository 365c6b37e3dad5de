// What only the user answers: message boxes, and the shell's folder-browse dialog
// with its callback and SHGetPathFromIDListA for the items it selects. Texts are
// ANSI (code page 936).
#pragma once

#include <cstdint>

#include <windows.h>

#include <shlobj.h>

namespace plat {

// An item identifier list (LPITEMIDLIST): names one item of the shell's
// namespace, a folder or a virtual item like the desktop's computer.
using ItemList = std::uintptr_t;

// BFFCALLBACK: (browse window, message, lParam, callback data); returns 0.
using BrowseCallbackProc = int (*)(HWND window, std::uint32_t message, LPARAM lParam, LPARAM data);

// What of BROWSEINFOA the installer sets; the tree starts at the desktop.
struct BrowseInfo {
  HWND owner = 0;
  const char* title = nullptr;  // shown above the tree
  std::uint32_t flags = 0;
  BrowseCallbackProc callback = nullptr;
  LPARAM callbackData = 0;
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
  // Runs the browse dialog modally (SHBrowseForFolderA). What the user chose is
  // the callback's to see; the shell's item list for it is freed before this
  // returns.
  virtual void BrowseForFolderA(const BrowseInfo& info) = 0;
  // The item's file-system path into `path` (MAX_PATH bytes); false for virtual
  // items, which leave `path` empty.
  virtual bool SHGetPathFromIDListA(ItemList list, char* path) = 0;
};

}  // namespace plat
