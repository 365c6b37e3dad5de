#include "platform/win32/Win32Registry.h"

#include <windows.h>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "DWORD outputs are passed straight through");
static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 texts are passed straight through");

namespace w32 {
namespace {

// plat::HKey spells the predefined keys as their 32-bit values (0x80000002);
// a 64-bit HKEY sign-extends them (0xFFFFFFFF80000002). Both directions map
// between the two spellings, so a predefined key handed back by RegOpenKeyA
// compares equal to plat::kHKeyLocalMachine again.
bool IsPredefined32(std::uint64_t value) { return value >= 0x80000000u && value <= 0x8000000Fu; }

HKEY ToWin(plat::HKey key) {
  if (IsPredefined32(key)) return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  return reinterpret_cast<HKEY>(key);
}

plat::HKey FromWin(HKEY key) {
  const auto value = static_cast<std::uint64_t>(reinterpret_cast<ULONG_PTR>(key));
  if (IsPredefined32(value & 0xFFFFFFFFu) && (value >> 32) == 0xFFFFFFFFu) return value & 0xFFFFFFFFu;
  return static_cast<plat::HKey>(value);
}

// Calls `open` with a real HKEY out-parameter and copies the result back, so that
// whatever Windows leaves in it (a handle, NULL, or the caller's old value) arrives.
template <typename Open>
long WithHKeyOut(plat::HKey* result, Open open) {
  if (!result) return open(nullptr);
  HKEY handle = ToWin(*result);
  const long rc = open(&handle);
  *result = FromWin(handle);
  return rc;
}

const WCHAR* W(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }

}  // namespace

long Win32Registry::RegOpenKeyA(plat::HKey key, const char* subKey, plat::HKey* result) {
  return WithHKeyOut(result, [&](HKEY* out) { return ::RegOpenKeyA(ToWin(key), subKey, out); });
}

long Win32Registry::RegOpenKeyExA(plat::HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                                  plat::HKey* result) {
  return WithHKeyOut(result, [&](HKEY* out) { return ::RegOpenKeyExA(ToWin(key), subKey, options, access, out); });
}

long Win32Registry::RegQueryInfoKeyA(plat::HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                     std::uint32_t* values) {
  return ::RegQueryInfoKeyA(ToWin(key), nullptr, nullptr, nullptr, reinterpret_cast<DWORD*>(subKeys),
                            reinterpret_cast<DWORD*>(maxSubKeyLen), nullptr, reinterpret_cast<DWORD*>(values), nullptr,
                            nullptr, nullptr, nullptr);
}

long Win32Registry::RegEnumKeyExA(plat::HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  return ::RegEnumKeyExA(ToWin(key), index, name, reinterpret_cast<DWORD*>(nameLen), nullptr, nullptr, nullptr,
                         nullptr);
}

long Win32Registry::RegQueryValueExA(plat::HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* dataSize) {
  return ::RegQueryValueExA(ToWin(key), valueName, nullptr, reinterpret_cast<DWORD*>(type), data,
                            reinterpret_cast<DWORD*>(dataSize));
}

long Win32Registry::RegCloseKey(plat::HKey key) { return ::RegCloseKey(ToWin(key)); }

long Win32Registry::RegCreateKeyA(plat::HKey key, const char* subKey, plat::HKey* result) {
  return WithHKeyOut(result, [&](HKEY* out) { return ::RegCreateKeyA(ToWin(key), subKey, out); });
}

long Win32Registry::RegDeleteKeyA(plat::HKey key, const char* subKey) { return ::RegDeleteKeyA(ToWin(key), subKey); }

long Win32Registry::RegDeleteValueA(plat::HKey key, const char* valueName) {
  return ::RegDeleteValueA(ToWin(key), valueName);
}

long Win32Registry::RegSetValueExA(plat::HKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExA(ToWin(key), valueName, reserved, type, data, size);
}

long Win32Registry::RegOpenKeyExW(plat::HKey key, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                                  plat::HKey* result) {
  return WithHKeyOut(result, [&](HKEY* out) { return ::RegOpenKeyExW(ToWin(key), W(subKey), options, access, out); });
}

long Win32Registry::RegEnumKeyExW(plat::HKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLen) {
  return ::RegEnumKeyExW(ToWin(key), index, reinterpret_cast<WCHAR*>(name), reinterpret_cast<DWORD*>(nameLen), nullptr,
                         nullptr, nullptr, nullptr);
}

long Win32Registry::RegQueryValueExW(plat::HKey key, const char16_t* valueName, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* dataSize) {
  return ::RegQueryValueExW(ToWin(key), W(valueName), nullptr, reinterpret_cast<DWORD*>(type), data,
                            reinterpret_cast<DWORD*>(dataSize));
}

long Win32Registry::RegCreateKeyW(plat::HKey key, const char16_t* subKey, plat::HKey* result) {
  return WithHKeyOut(result, [&](HKEY* out) { return ::RegCreateKeyW(ToWin(key), W(subKey), out); });
}

long Win32Registry::RegSetValueExW(plat::HKey key, const char16_t* valueName, std::uint32_t reserved,
                                   std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  return ::RegSetValueExW(ToWin(key), W(valueName), reserved, type, data, size);
}

long Win32Registry::RegDeleteKeyW(plat::HKey key, const char16_t* subKey) {
  return ::RegDeleteKeyW(ToWin(key), W(subKey));
}

long Win32Registry::RegDeleteValueW(plat::HKey key, const char16_t* valueName) {
  return ::RegDeleteValueW(ToWin(key), W(valueName));
}

}  // namespace w32
