#include "acad/ListSubKeys.h"

#include "acad/RegistryBuffers.h"
#include "text/CodePage.h"

std::uint32_t SubKeyCount(plat::IRegistry& reg, plat::HKey key, const std::string& item, FailureReport& report) {
  std::uint32_t count = 0;
  const long rc = reg.RegQueryInfoKeyA(key, &count, nullptr, nullptr);
  if (rc != plat::kErrorSuccess) {
    report.push_back({Failure::kKeyNotListed, item, static_cast<std::uint32_t>(rc)});
    return 0;
  }
  return count;
}

void ListSubKeys(plat::Platform& platform, plat::HKey key, std::vector<std::u16string>& names, const std::string& item,
                 FailureReport& report) {
  plat::IRegistry& reg = platform.registry;
  const std::uint32_t count = SubKeyCount(reg, key, item, report);
  for (std::uint32_t i = 0; i < count; ++i) {
    WideKeyNameBuffer name;
    const long read = reg.RegEnumKeyExW(key, i, name.data(), name.size());
    // A key deleted meanwhile shortens the list: nothing is lost by that.
    if (read != plat::kErrorSuccess && read != plat::kErrorNoMoreItems)
      report.push_back({Failure::kKeyNotListed, item, static_cast<std::uint32_t>(read)});
    plat::HKey sub = 0;
    const long opened = reg.RegOpenKeyExW(key, name.data(), 0, plat::kKeyRead, &sub);
    if (opened != plat::kErrorSuccess) {
      if (opened != plat::kErrorFileNotFound && read == plat::kErrorSuccess)
        report.push_back({Failure::kKeyNotOpened, item + "\\" + ansi::Narrow(name.data()),
                          static_cast<std::uint32_t>(opened)});
      continue;
    }
    plat::ScopedKey owner(reg, sub);
    names.emplace_back(name.data());
  }
}
