// The registry of the in-memory machine: a model of what the Windows registry
// does behind the ANSI calls, not a mock. Two hives, HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER. What it reproduces, as Windows does it:
//
// - Names are stored as given (GBK bytes, letter case kept) and compared the way
//   Windows compares them: converted to UTF-16, upcased, ordinal. Subkeys
//   enumerate in that order ("_x" after "B2"; "中" U+4E2D before "啊" U+554A,
//   whatever their GBK bytes). Value names are case-insensitive too; values keep
//   the order in which they were first set.
// - Paths: backslash-separated; repeated and trailing separators are skipped, a
//   leading one is refused (ERROR_BAD_PATHNAME); a name of more than 255 UTF-16
//   units is refused (ERROR_INVALID_PARAMETER).
// - Handles remember their access. RegOpenKeyA and RegCreateKeyA open with the
//   most the key allows (MAXIMUM_ALLOWED). Creating or deleting a subkey does not
//   need any access on the parent handle (Windows checks the key, not the
//   handle); writing a value needs KEY_SET_VALUE on the handle.
// - An empty or null sub key: RegOpenKeyA hands back the key itself; RegOpenKeyExA
//   hands back a predefined key itself and opens a second handle to any other.
// - A key with subkeys does not delete (ERROR_ACCESS_DENIED). A deleted key's
//   other handles stay valid and answer ERROR_KEY_DELETED.
// - Value reads follow the buffer rules of RegQueryValueExA: ERROR_MORE_DATA with
//   the size needed, a terminating NUL appended after a string that has none when
//   the buffer has room, no expansion of REG_EXPAND_SZ.
//
// Where this deliberately differs from Windows:
// - RegSetValueExA stores exactly `size` bytes. Windows adds one byte when a
//   string's last counted byte is not NUL but the byte after it is (it reads past
//   the size it was given); the program always counts the NUL, so the model does
//   not read beyond the caller's buffer.
// - Strings and names are kept as GBK bytes, not converted to UTF-16 and back: a
//   byte sequence that is not valid GBK reads back unchanged, where Windows would
//   give a substitute character.
//
// Every IRegistry call first asks the FaultInjector (operation names are the
// function names, "RegOpenKeyExA" ...). A call made to fail changes nothing and
// returns ERROR_ACCESS_DENIED (RegCloseKey: ERROR_INVALID_HANDLE); open and create
// calls then leave 0 in the result, as Windows does on failure. RegCloseKey is the
// one exception to "changes nothing": it still closes the handle, because a handle
// the program gave up is gone either way and keeping it would make every injected
// close look like a leak.
//
// The test-side helpers below are neither faultable nor access-checked; they take
// full paths such as "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk" (GBK bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/memory/FaultInjector.h"

namespace mem {

// Error codes the model returns that platform/Types.h has no name for.
constexpr long kErrorBadPathname = 161;
constexpr long kErrorBadKey = 1010;
constexpr long kErrorNoAccess = 998;

// Access rights beyond KEY_READ and KEY_ALL_ACCESS.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kDelete = 0x10000;
constexpr std::uint32_t kMaximumAllowed = 0x02000000;

class MemoryRegistry : public plat::IRegistry {
 public:
  explicit MemoryRegistry(FaultInjector& faults);
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  long RegOpenKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegOpenKeyExA(plat::HKey key, const char* subKey, std::uint32_t options, std::uint32_t access,
                     plat::HKey* result) override;
  long RegQueryInfoKeyA(plat::HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                        std::uint32_t* values) override;
  long RegEnumKeyExA(plat::HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) override;
  long RegQueryValueExA(plat::HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* dataSize) override;
  long RegCloseKey(plat::HKey key) override;
  long RegCreateKeyA(plat::HKey key, const char* subKey, plat::HKey* result) override;
  long RegDeleteKeyA(plat::HKey key, const char* subKey) override;
  long RegSetValueExA(plat::HKey key, const char* valueName, std::uint32_t reserved, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;

  // Handles open now; the predefined keys are not counted.
  std::size_t OpenHandles() const;

  // --- Test side -----------------------------------------------------------
  struct Value {
    std::uint32_t type = 0;
    std::string data;  // raw bytes, exactly as stored
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
  };

  // Creates the key and every missing key above it; false for a path that does
  // not start with a hive name or has an empty or over-long name in it.
  bool CreateKey(const std::string& path);
  bool KeyExists(const std::string& path) const;
  // Creates the key when needed. An empty value name is the default value.
  bool SetValue(const std::string& keyPath, const std::string& valueName, std::uint32_t type, const std::string& data);
  // `text` plus its terminating NUL, as REG_SZ (or the type given).
  bool SetString(const std::string& keyPath, const std::string& valueName, const std::string& text,
                 std::uint32_t type = plat::kRegSz);
  bool SetDword(const std::string& keyPath, const std::string& valueName, std::uint32_t value);
  std::optional<Value> GetValue(const std::string& keyPath, const std::string& valueName) const;
  // The text of a string value up to its first NUL; nullopt when absent.
  std::optional<std::string> GetString(const std::string& keyPath, const std::string& valueName) const;
  bool DeleteValue(const std::string& keyPath, const std::string& valueName);
  // Deletes the key with everything below it; open handles to any of them then
  // answer ERROR_KEY_DELETED. A hive itself is emptied instead. False when absent.
  bool DeleteTree(const std::string& path);
  // Names of the direct subkeys in enumeration order, and of the values in theirs.
  std::vector<std::string> SubKeyNames(const std::string& path) const;
  std::vector<std::string> ValueNames(const std::string& path) const;
  // Simulates an ACL on the key: opening it for reading (query, enumerate) or for
  // writing (set value, create subkey, delete) is refused with ERROR_ACCESS_DENIED
  // from now on. Handles already open keep the access they were given.
  bool DenyAccess(const std::string& path, bool denyRead, bool denyWrite);

  // The whole registry as canonical text: every key in enumeration order as
  // "[path]", its values in their order with type and exact bytes, denied access
  // noted. Equal texts mean equal registries.
  std::string Export() const;

 private:
  struct Key;
  struct Handle {
    std::shared_ptr<Key> key;
    std::uint32_t access = 0;
  };

  long Resolve(plat::HKey key, Handle* out) const;
  long ResolveLive(plat::HKey key, Handle* out) const;
  long OpenPath(const Handle& from, const char* subKey, std::uint32_t access, plat::HKey* result);
  plat::HKey NewHandle(const std::shared_ptr<Key>& key, std::uint32_t access);
  long ParseFullPath(const std::string& path, std::shared_ptr<Key>* hive, std::vector<std::string>* names) const;
  std::shared_ptr<Key> FindPath(const std::string& path) const;
  std::shared_ptr<Key> CreatePath(const std::string& path);

  FaultInjector& m_faults;
  std::shared_ptr<Key> m_localMachine;
  std::shared_ptr<Key> m_currentUser;
  std::map<plat::HKey, Handle> m_handles;
  plat::HKey m_nextHandle = 0x1000;
};

}  // namespace mem
