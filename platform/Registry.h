// The registry operations the installer uses: the ANSI Win32 calls, with their
// arguments and result codes. Strings are bytes of the ANSI code page (936).
#pragma once

#include <cstdint>

#include <windows.h>

namespace plat {

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // An empty or null subKey hands back `key` itself, not a new handle (as Windows does).
  virtual long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) = 0;
  // An empty subKey opens a second handle to `key`.
  virtual long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t access,
                             HKEY* result) = 0;
  // Any output pointer may be null; only the ones given are filled.
  virtual long RegQueryInfoKeyA(HKEY key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                std::uint32_t* values) = 0;
  // nameLen: in, the buffer's size in characters (terminator included); out, the
  // name's length without terminator. ERROR_MORE_DATA when the name does not fit.
  virtual long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name, std::uint32_t* nameLen) = 0;
  // data may be null to ask for the size. ERROR_MORE_DATA when the data does not fit
  // (the buffer's content is then undefined) with the size needed in *dataSize.
  virtual long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* dataSize) = 0;
  virtual long RegCloseKey(HKEY key) = 0;

  // Opens the key or creates it, with every missing key on the way.
  virtual long RegCreateKeyA(HKEY key, const char* subKey, HKEY* result) = 0;
  // Deletes a key without subkeys, with its values. A key with subkeys stays.
  virtual long RegDeleteKeyA(HKEY key, const char* subKey) = 0;
  virtual long RegDeleteValueA(HKEY key, const char* valueName) = 0;
  virtual long RegSetValueExA(HKEY key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) = 0;

  // The wide calls, for names and values that may hold any character: the ANSI
  // ones give a '?' for each character the code page lacks.
  virtual long RegOpenKeyExW(HKEY key, const char16_t* subKey, std::uint32_t options, std::uint32_t access,
                             HKEY* result) = 0;
  virtual long RegEnumKeyExW(HKEY key, std::uint32_t index, char16_t* name, std::uint32_t* nameLen) = 0;
  virtual long RegQueryValueExW(HKEY key, const char16_t* valueName, std::uint32_t* type, std::uint8_t* data,
                                std::uint32_t* dataSize) = 0;
  virtual long RegCreateKeyW(HKEY key, const char16_t* subKey, HKEY* result) = 0;
  virtual long RegSetValueExW(HKEY key, const char16_t* valueName, std::uint32_t reserved, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) = 0;
  virtual long RegDeleteKeyW(HKEY key, const char16_t* subKey) = 0;
  virtual long RegDeleteValueW(HKEY key, const char16_t* valueName) = 0;
};

// Owns one open key; closes it on every way out of a scope. Predefined keys and
// handles that RegOpenKeyA handed back unchanged need no owner.
class ScopedKey {
 public:
  explicit ScopedKey(IRegistry& reg, HKEY key = 0) : m_reg(reg), m_key(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() { Close(); }

  HKEY get() const { return m_key; }
  HKEY* out() {
    Close();
    return &m_key;
  }
  explicit operator bool() const { return m_key != 0; }
  void Close() {
    if (m_key != 0) m_reg.RegCloseKey(m_key);
    m_key = 0;
  }

 private:
  IRegistry& m_reg;
  HKEY m_key;
};

}  // namespace plat
