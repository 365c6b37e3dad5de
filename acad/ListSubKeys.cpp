#include "acad/ListSubKeys.h"

#include "acad/RegistryBuffers.h"
#include "text/CodePage.h"

namespace {

long ReadName(plat::IRegistry& reg, HKEY key, std::uint32_t index, BasicKeyNameBuffer<char>& name) {
  return reg.RegEnumKeyExA(key, index, name.data(), name.size());
}
long ReadName(plat::IRegistry& reg, HKEY key, std::uint32_t index, BasicKeyNameBuffer<char16_t>& name) {
  return reg.RegEnumKeyExW(key, index, name.data(), name.size());
}

}  // namespace

template <class Char>
std::vector<std::basic_string<Char>> SubKeyNames(plat::IRegistry& reg, HKEY key, const std::string& item,
                                                 FailureReport& report) {
  std::vector<std::basic_string<Char>> names;
  std::uint32_t count = 0;
  const long counted = reg.RegQueryInfoKeyA(key, &count, nullptr, nullptr);
  if (counted != ERROR_SUCCESS) {
    Report(report, Failure::kKeyNotListed, item, counted);
    return names;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    BasicKeyNameBuffer<Char> name;
    const long read = ReadName(reg, key, i, name);
    if (read == ERROR_SUCCESS)
      names.emplace_back(name.data());
    else if (read != ERROR_NO_MORE_ITEMS)  // past the end: keys deleted meanwhile
      Report(report, Failure::kKeyNotListed, item, read);
  }
  return names;
}

template std::vector<std::string> SubKeyNames<char>(plat::IRegistry&, HKEY, const std::string&, FailureReport&);
template std::vector<std::u16string> SubKeyNames<char16_t>(plat::IRegistry&, HKEY, const std::string&, FailureReport&);

void ListSubKeys(plat::Platform& platform, HKEY key, std::vector<std::u16string>& names, const std::string& item,
                 FailureReport& report) {
  plat::IRegistry& reg = platform.registry;
  for (std::u16string& name : SubKeyNames<char16_t>(reg, key, item, report)) {
    HKEY sub = 0;
    const long opened = reg.RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, &sub);
    if (opened != ERROR_SUCCESS) {
      if (opened != ERROR_FILE_NOT_FOUND)
        Report(report, Failure::kKeyNotOpened, item + "\\" + ansi::Narrow(name), opened);
      continue;
    }
    plat::ScopedKey owner(reg, sub);
    names.push_back(std::move(name));
  }
}
