#include "platform/win32/Win32Registry.h"

#include <windows.h>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "DWORD outputs are passed straight through");
static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 texts are passed straight through");

namespace w32 {
namespace {

const WCHAR* W(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }

}  // namespace

long Win32Registry::RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
  return ::RegOpenKeyA(key, subKey, result);
}

long Win32Registry::RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                  HKEY* result) {
  return ::RegOpenKeyExA(key, subKey, options, access, result);
}

long Win32Registry::RegQueryInfoKeyA(HKEY key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                     std::uint32_t* values) {
  return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, reinterpret_cast<DWORD*>(subKeys),
                            reinterpret_cast<DWORD*>(maxSubKeyLen), nullptr, reinterpret_cast<DWORD*>(values), nullptr,
                            nullptr, nullptr, nullptr);
}

long Win32Registry::RegEnumKeyExA(HKEY key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  return ::RegEnumKeyExA(key, index, name, reinterpret_cast<DWORD*>(nameLen), nullptr, nullptr, nullptr, nullptr);
}

long Win32Registry::RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* dataSize) {
  return ::RegQueryValueExA(key, valueName, nullptr, reinterpret_cast<DWORD*>(type), data,
                            reinterpret_cast<DWORD*>(dataSize));
}

long Win32Registry::RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

long Win32Registry::RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) {
  return ::RegCreateKeyA(key, subKey, result);
}

long Win32Registry::RegDeleteKeyA(HKEY key, const char* subKey) { return ::RegDeleteKeyA(key, subKey); }

long Win32Registry::RegDeleteValueA(HKEY key, const char* valueName) { return ::RegDeleteValueA(key, valueName); }

long Win32Registry::RegSetValueExA(HKEY key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExA(key, valueName, reserved, type, data, size);
}

long Win32Registry::RegOpenKeyExW(HKEY key, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                                  HKEY* result) {
  return ::RegOpenKeyExW(key, W(subKey), options, access, result);
}

long Win32Registry::RegEnumKeyExW(HKEY key, std::uint32_t index, char16_t* name, std::uint32_t* nameLen) {
  return ::RegEnumKeyExW(key, index, reinterpret_cast<WCHAR*>(name), reinterpret_cast<DWORD*>(nameLen), nullptr,
                         nullptr, nullptr, nullptr);
}

long Win32Registry::RegQueryValueExW(HKEY key, const char16_t* valueName, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* dataSize) {
  return ::RegQueryValueExW(key, W(valueName), nullptr, reinterpret_cast<DWORD*>(type), data,
                            reinterpret_cast<DWORD*>(dataSize));
}

long Win32Registry::RegCreateKeyW(HKEY key, const char16_t* subKey, HKEY* result) {
  return ::RegCreateKeyW(key, W(subKey), result);
}

long Win32Registry::RegSetValueExW(HKEY key, const char16_t* valueName, std::uint32_t reserved, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExW(key, W(valueName), reserved, type, data, size);
}

long Win32Registry::RegDeleteKeyW(HKEY key, const char16_t* subKey) { return ::RegDeleteKeyW(key, W(subKey)); }

long Win32Registry::RegDeleteValueW(HKEY key, const char16_t* valueName) {
  return ::RegDeleteValueW(key, W(valueName));
}

}  // namespace w32
