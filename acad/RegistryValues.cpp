#include "acad/RegistryValues.h"

long ReadString(plat::IRegistry& reg, HKEY key, const char* name, std::string& text) {
  std::uint32_t type = REG_NONE, size = 0;
  long rc = reg.RegQueryValueExA(key, name, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_FILE_NOT_FOUND;
  std::string data(size + 1, '\0');
  rc = reg.RegQueryValueExA(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
  if (rc != ERROR_SUCCESS) return rc;
  data.resize(size < data.size() ? size : data.size());
  text = data.substr(0, data.find('\0'));
  return ERROR_SUCCESS;
}

void WriteDword(plat::IRegistry& reg, HKEY key, const std::string& item, const char* name, std::uint32_t value,
                FailureReport& report) {
  const std::uint8_t data[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  const long rc = reg.RegSetValueExA(key, name, 0, REG_DWORD, data, sizeof data);
  if (rc != ERROR_SUCCESS) Report(report, Failure::kValueNotWritten, item + "\\" + name, rc);
}

void WriteString(plat::IRegistry& reg, HKEY key, const std::string& item, const char* name, const std::string& text,
                 FailureReport& report) {
  const long rc = reg.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                     static_cast<std::uint32_t>(text.size() + 1));
  if (rc != ERROR_SUCCESS) Report(report, Failure::kValueNotWritten, item + "\\" + name, rc);
}

HKEY RecreateKey(plat::IRegistry& reg, HKEY parent, const std::string& item, const std::string& subKey,
                 FailureReport& report) {
  reg.RegDeleteKeyA(parent, subKey.c_str());  // a key with subkeys stays and is overwritten
  HKEY key = 0;
  const long rc = reg.RegCreateKeyA(parent, subKey.c_str(), &key);
  if (rc == ERROR_SUCCESS) return key;
  Report(report, Failure::kKeyNotCreated, item, rc);
  return 0;
}
