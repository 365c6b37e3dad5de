#include "text/CodePage.h"

#include <windows.h>

namespace ansi {

std::u16string Widen(const std::string& text) {
  std::u16string wide(text.size(), u'\0');  // never more units than bytes
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      reinterpret_cast<WCHAR*>(wide.data()), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

std::string Narrow(const std::u16string& text, bool* lossy) {
  std::string narrow(text.size() * 2, '\0');  // at most two bytes a unit in code page 936
  BOOL usedDefault = FALSE;
  const int n =
      ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(text.data()), static_cast<int>(text.size()),
                            narrow.data(), static_cast<int>(narrow.size()), nullptr, &usedDefault);
  narrow.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (lossy != nullptr) *lossy = usedDefault != FALSE;
  return narrow;
}

}  // namespace ansi
