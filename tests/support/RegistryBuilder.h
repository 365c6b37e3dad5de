// Builds registry content for tests through the registry interface itself, so
// the same helpers serve the in-memory registry and the real one.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Registry.h"

namespace testing_support {

inline bool SetStringValue(plat::IRegistry& reg, plat::HKey root, const std::string& path, const char* name,
                           const std::string& value, std::uint32_t type = plat::kRegSz) {
  plat::HKey key = 0;
  if (reg.RegCreateKeyA(root, path.c_str(), &key) != plat::kErrorSuccess) return false;
  plat::ScopedKey owner(reg, key);
  return reg.RegSetValueExA(key, name, 0, type, reinterpret_cast<const std::uint8_t*>(value.c_str()),
                            static_cast<std::uint32_t>(value.size() + 1)) == plat::kErrorSuccess;
}

inline bool CreateKey(plat::IRegistry& reg, plat::HKey root, const std::string& path) {
  plat::HKey key = 0;
  if (reg.RegCreateKeyA(root, path.c_str(), &key) != plat::kErrorSuccess) return false;
  reg.RegCloseKey(key);
  return true;
}

// One AutoCAD installation key: both values discovery joins on.
inline bool AddInstallation(plat::IRegistry& reg, const std::string& path, const std::string& location,
                            const std::string& productName) {
  return SetStringValue(reg, plat::kHKeyLocalMachine, path, "AcadLocation", location) &&
         SetStringValue(reg, plat::kHKeyLocalMachine, path, "ProductName", productName);
}

}  // namespace testing_support
