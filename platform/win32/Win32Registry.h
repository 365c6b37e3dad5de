// The registry operations as thin calls of the ANSI Win32 functions. No behaviour
// of its own: what the machine's registry does is what the program sees.
#pragma once

#include "platform/Registry.h"

namespace w32 {

class Win32Registry : public plat::IRegistry {
 public:
  long RegOpenKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegOpenKeyExA(plat::HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                     plat::HKey* result) override;
  long RegQueryInfoKeyA(plat::HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                        std::uint32_t* values) override;
  long RegEnumKeyExA(plat::HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) override;
  long RegQueryValueExA(plat::HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCloseKey(plat::HKey key) override;
  long RegCreateKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegDeleteKeyA(plat::HKey key, const char* subKey) override;
  long RegDeleteValueA(plat::HKey key, const char* valueName) override;
  long RegSetValueExA(plat::HKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  long RegOpenKeyExW(plat::HKey key, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                     plat::HKey* result) override;
  long RegEnumKeyExW(plat::HKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLen) override;
  long RegQueryValueExW(plat::HKey key, const char16_t* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCreateKeyW(plat::HKey key, const char16_t* subKey, plat::HKey* result) override;
  long RegSetValueExW(plat::HKey key, const char16_t* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  long RegDeleteKeyW(plat::HKey key, const char16_t* subKey) override;
  long RegDeleteValueW(plat::HKey key, const char16_t* valueName) override;
};

}  // namespace w32
