#include "acad/RegistryBuffers.h"

bool ReadShortValueText(plat::IRegistry& reg, HKEY key, const char* name, std::string& text, long* error) {
  std::array<std::uint8_t, 256> data{};
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  std::uint32_t type = REG_NONE;
  const long rc = reg.RegQueryValueExA(key, name, &type, data.data(), &size);
  if (error != nullptr) *error = rc;
  if (rc != ERROR_SUCCESS) return false;
  if (size > data.size()) size = static_cast<std::uint32_t>(data.size());
  const auto* chars = reinterpret_cast<const char*>(data.data());
  text.assign(chars, strnlen(chars, size));
  return true;
}
