#include "platform/win32/Win32TextCodec.h"

#include <windows.h>

namespace w32 {

std::u16string Win32TextCodec::MultiByteToWideChar(const std::string& ansi) {
  std::u16string wide(ansi.size(), u'\0');  // never more units than bytes
  const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                      reinterpret_cast<WCHAR*>(wide.data()), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

std::string Win32TextCodec::WideCharToMultiByte(const std::u16string& wide, bool* lossy) {
  std::string ansi(wide.size() * 2, '\0');  // at most two bytes a unit in code page 936
  BOOL usedDefault = FALSE;
  const int n =
      ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(wide.data()), static_cast<int>(wide.size()),
                            ansi.data(), static_cast<int>(ansi.size()), nullptr, &usedDefault);
  ansi.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (lossy != nullptr) *lossy = usedDefault != FALSE;
  return ansi;
}

}  // namespace w32
