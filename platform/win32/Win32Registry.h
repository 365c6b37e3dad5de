// The registry operations as thin calls of the ANSI Win32 functions. No behaviour
// of its own: what the machine's registry does is what the program sees.
#pragma once

#include "platform/Registry.h"

namespace w32 {

class Win32Registry : public plat::IRegistry {
 public:
  long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) override;
  long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t access, HKEY* result) override;
  long RegQueryInfoKeyA(HKEY key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen, std::uint32_t* values) override;
  long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name, std::uint32_t* nameLen) override;
  long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCloseKey(HKEY key) override;
  long RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) override;
  long RegDeleteKeyA(HKEY key, const char* subKey) override;
  long RegDeleteValueA(HKEY key, const char* valueName) override;
  long RegSetValueExA(HKEY key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  long RegOpenKeyExW(HKEY key, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                     HKEY* result) override;
  long RegEnumKeyExW(HKEY key, std::uint32_t index, char16_t* name, std::uint32_t* nameLen) override;
  long RegQueryValueExW(HKEY key, const char16_t* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCreateKeyW(HKEY key, const char16_t* subKey, HKEY* result) override;
  long RegSetValueExW(HKEY key, const char16_t* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  long RegDeleteKeyW(HKEY key, const char16_t* subKey) override;
  long RegDeleteValueW(HKEY key, const char16_t* valueName) override;
};

}  // namespace w32
