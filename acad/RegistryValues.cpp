#include "acad/RegistryValues.h"

long ReadString(plat::IRegistry& reg, plat::HKey key, const char* name, std::string& text) {
  std::uint32_t type = plat::kRegNone, size = 0;
  long rc = reg.RegQueryValueExA(key, name, &type, nullptr, &size);
  if (rc != plat::kErrorSuccess) return rc;
  if (type != plat::kRegSz && type != plat::kRegExpandSz) return plat::kErrorFileNotFound;
  std::string data(size + 1, '\0');
  rc = reg.RegQueryValueExA(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
  if (rc != plat::kErrorSuccess) return rc;
  data.resize(size < data.size() ? size : data.size());
  text = data.substr(0, data.find('\0'));
  return plat::kErrorSuccess;
}

void WriteDword(plat::IRegistry& reg, plat::HKey key, const std::string& item, const char* name, std::uint32_t value,
                FailureReport& report) {
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  const long rc = reg.RegSetValueExA(key, name, 0, plat::kRegDword, data, sizeof data);
  if (rc != plat::kErrorSuccess) Report(report, Failure::kValueNotWritten, item + "\\" + name, rc);
}

void WriteString(plat::IRegistry& reg, plat::HKey key, const std::string& item, const char* name,
                 const std::string& text, FailureReport& report) {
  const long rc = reg.RegSetValueExA(key, name, 0, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                     static_cast<std::uint32_t>(text.size() + 1));
  if (rc != plat::kErrorSuccess) Report(report, Failure::kValueNotWritten, item + "\\" + name, rc);
}

plat::HKey RecreateKey(plat::IRegistry& reg, plat::HKey parent, const std::string& item, const std::string& subKey,
                       FailureReport& report) {
  reg.RegDeleteKeyA(parent, subKey.c_str());  // a key with subkeys stays and is overwritten
  plat::HKey key = 0;
  const long rc = reg.RegCreateKeyA(parent, subKey.c_str(), &key);
  if (rc == plat::kErrorSuccess) return key;
  Report(report, Failure::kKeyNotCreated, item, rc);
  return 0;
}
