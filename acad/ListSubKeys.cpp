#include "acad/ListSubKeys.h"

#include "acad/RegistryBuffers.h"
#include "text/CodePage.h"

std::uint32_t SubKeyCount(plat::IRegistry& reg, HKEY key, const std::string& item, FailureReport& report) {
  std::uint32_t count = 0;
  const long rc = reg.RegQueryInfoKeyA(key, &count, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) {
    Report(report, Failure::kKeyNotListed, item, rc);
    return 0;
  }
  return count;
}

void ListSubKeys(plat::Platform& platform, HKEY key, std::vector<std::u16string>& names, const std::string& item,
                 FailureReport& report) {
  plat::IRegistry& reg = platform.registry;
  const std::uint32_t count = SubKeyCount(reg, key, item, report);
  for (std::uint32_t i = 0; i < count; ++i) {
    WideKeyNameBuffer name;
    const long read = reg.RegEnumKeyExW(key, i, name.data(), name.size());
    // A key deleted meanwhile shortens the list: nothing is lost by that.
    if (read != ERROR_SUCCESS && read != ERROR_NO_MORE_ITEMS) Report(report, Failure::kKeyNotListed, item, read);
    HKEY sub = 0;
    const long opened = reg.RegOpenKeyExW(key, name.data(), 0, KEY_READ, &sub);
    if (opened != ERROR_SUCCESS) {
      if (opened != ERROR_FILE_NOT_FOUND && read == ERROR_SUCCESS)
        Report(report, Failure::kKeyNotOpened, item + "\\" + ansi::Narrow(name.data()), opened);
      continue;
    }
    plat::ScopedKey owner(reg, sub);
    names.emplace_back(name.data());
  }
}
