#include "acad/ListSubKeys.h"

#include "acad/RegistryBuffers.h"

void ListSubKeys(plat::IRegistry& reg, plat::HKey key, std::vector<std::string>& names) {
  const std::uint32_t count = SubKeyCount(reg, key);
  for (std::uint32_t i = 0; i < count; ++i) {
    KeyNameBuffer name;
    reg.RegEnumKeyExA(key, i, name.data(), name.size());  // a failed read leaves the name empty
    plat::HKey sub = 0;
    if (reg.RegOpenKeyExA(key, name.data(), 0, plat::kKeyRead, &sub) != plat::kErrorSuccess) continue;
    plat::ScopedKey owner(reg, sub);
    names.emplace_back(name.data());
  }
}
