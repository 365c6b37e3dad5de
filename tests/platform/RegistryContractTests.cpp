// What the program relies on from the registry, asserted once and run twice:
// natively against the in-memory model, and in the Windows build against the real
// registry under Wine (ContractRegistry.h). Where the two disagree, the model is
// wrong, unless a check says that Wine itself differs from Windows there.
//
// One test per operation. Output parameters start as the sentinel 0xdeadbeef so a
// check can show what an operation left alone; each edge case is named by the
// comment above it. Every test starts with empty hives and must close its keys.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/ContractRegistry.h"

namespace {

using plat::HKey;
using plat::kHKeyCurrentUser;
using plat::kHKeyLocalMachine;

constexpr HKey kSentinelKey = 0xdeadbeef;
constexpr std::uint32_t kSentinel = 0xdeadbeef;
constexpr long kErrorBadPathname = 161;
constexpr std::uint32_t kKeySetValue = 0x0002;

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    m_under = contract::MakeRegistryUnderTest();
    ASSERT_EQ(m_under->SetupError(), "") << "the registry under test is not isolated; stopping";
  }

  void TearDown() override {
    if (m_under && m_under->OpenHandles() >= 0) {
      EXPECT_EQ(m_under->OpenHandles(), 0) << "a test left a key open";
    }
  }

  plat::IRegistry& reg() { return m_under->Registry(); }
  bool IsWine() const { return m_under->IsWine(); }

  HKey Create(HKey root, const std::string& path) {
    HKey key = kSentinelKey;
    EXPECT_EQ(reg().RegCreateKeyA(root, path.c_str(), &key), plat::kErrorSuccess) << "creating " << path;
    return key;
  }

  void CreateClosed(HKey root, const std::string& path) { reg().RegCloseKey(Create(root, path)); }

  HKey Open(HKey root, const std::string& path, std::uint32_t access = plat::kKeyRead) {
    HKey key = kSentinelKey;
    EXPECT_EQ(reg().RegOpenKeyExA(root, path.c_str(), 0, access, &key), plat::kErrorSuccess) << "opening " << path;
    return key;
  }

  long SetString(HKey key, const char* name, const std::string& text, std::uint32_t type = plat::kRegSz) {
    return reg().RegSetValueExA(key, name, 0, type, Bytes(text.c_str()), static_cast<std::uint32_t>(text.size() + 1));
  }

  // The value's bytes as RegQueryValueExA gives them into a buffer of `capacity`.
  std::string Read(HKey key, const char* name, std::uint32_t capacity = 1024) {
    std::vector<std::uint8_t> buffer(capacity);
    std::uint32_t size = capacity;
    if (reg().RegQueryValueExA(key, name, nullptr, buffer.data(), &size) != plat::kErrorSuccess) return "<failed>";
    return std::string(reinterpret_cast<const char*>(buffer.data()), size);
  }

  std::vector<std::string> SubKeys(HKey key) {
    std::vector<std::string> names;
    char name[256];
    for (std::uint32_t i = 0;; ++i) {
      std::uint32_t len = sizeof name;
      const long rc = reg().RegEnumKeyExA(key, i, name, &len);
      if (rc == plat::kErrorNoMoreItems) break;
      EXPECT_EQ(rc, plat::kErrorSuccess) << "enumerating index " << i;
      if (rc != plat::kErrorSuccess) break;
      names.emplace_back(name, len);
    }
    return names;
  }

  std::unique_ptr<contract::RegistryUnderTest> m_under;
};

TEST_F(RegistryContract, RegOpenKeyA) {
  CreateClosed(kHKeyCurrentUser, "Software\\Test");

  // an existing key: a new handle
  HKey key = kSentinelKey;
  ASSERT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\Test", &key), plat::kErrorSuccess);
  EXPECT_NE(key, 0u);
  EXPECT_NE(key, kSentinelKey) << "expected a handle in the result";

  // the same key again: another handle
  HKey again = kSentinelKey;
  ASSERT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\Test", &again), plat::kErrorSuccess);
  EXPECT_NE(again, key) << "expected a second handle";
  reg().RegCloseKey(again);

  // a trailing backslash: the key itself, not an empty-named child
  HKey trailing = kSentinelKey;
  ASSERT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\Test\\", &trailing), plat::kErrorSuccess);
  EXPECT_EQ(SetString(trailing, "via", "trailing"), plat::kErrorSuccess) << "expected write access by default";
  EXPECT_EQ(Read(key, "via"), std::string("trailing", 9)) << "expected the value on the key itself";
  reg().RegCloseKey(trailing);

  // repeated separators: skipped
  HKey doubled = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\\\Test", &doubled), plat::kErrorSuccess);
  reg().RegCloseKey(doubled);

  // a missing key: ERROR_FILE_NOT_FOUND, the result cleared, nothing created
  HKey missing = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\Missing", &missing), plat::kErrorFileNotFound);
  EXPECT_EQ(missing, 0u) << "expected the result cleared";
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "Software\\Missing", &missing), plat::kErrorFileNotFound);

  // a leading backslash: ERROR_BAD_PATHNAME
  HKey leading = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "\\Software\\Test", &leading), kErrorBadPathname);

  // null or empty sub key: the key handed back as it is, no new handle
  HKey same = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyLocalMachine, nullptr, &same), plat::kErrorSuccess);
  EXPECT_EQ(same, kHKeyLocalMachine) << "expected HKEY_LOCAL_MACHINE itself";
  same = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(kHKeyCurrentUser, "", &same), plat::kErrorSuccess);
  EXPECT_EQ(same, kHKeyCurrentUser) << "expected HKEY_CURRENT_USER itself";
  same = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyA(key, "", &same), plat::kErrorSuccess);
  EXPECT_EQ(same, key) << "expected the same handle, not a second one";

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, RegOpenKeyExA) {
  HKey created = Create(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD");
  ASSERT_EQ(SetString(created, "Marker", "here"), plat::kErrorSuccess);
  reg().RegCloseKey(created);

  // an existing key with KEY_READ
  HKey key = Open(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD");
  EXPECT_EQ(Read(key, "Marker"), std::string("here", 5));

  // the empty sub key of an opened key: a second handle to the same key
  HKey second = kSentinelKey;
  ASSERT_EQ(reg().RegOpenKeyExA(key, "", 0, plat::kKeyRead, &second), plat::kErrorSuccess);
  EXPECT_NE(second, key) << "expected a second handle";
  EXPECT_NE(second, kSentinelKey);
  EXPECT_EQ(Read(second, "Marker"), std::string("here", 5)) << "expected the same key";
  EXPECT_EQ(reg().RegCloseKey(second), plat::kErrorSuccess);
  EXPECT_EQ(Read(key, "Marker"), std::string("here", 5)) << "closing the second handle must leave the first";

  // a null sub key: the same as an empty one
  second = kSentinelKey;
  ASSERT_EQ(reg().RegOpenKeyExA(key, nullptr, 0, plat::kKeyRead, &second), plat::kErrorSuccess);
  EXPECT_NE(second, key);
  reg().RegCloseKey(second);

  // the empty sub key of a predefined key: the predefined key itself
  HKey root = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(kHKeyLocalMachine, "", 0, plat::kKeyRead, &root), plat::kErrorSuccess);
  EXPECT_EQ(root, kHKeyLocalMachine);

  // a trailing backslash: the key itself
  HKey trailing = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\", 0, plat::kKeyRead, &trailing),
            plat::kErrorSuccess);
  EXPECT_EQ(SubKeys(trailing), std::vector<std::string>{"AutoCAD"});
  reg().RegCloseKey(trailing);

  // names are looked up without regard to letter case
  HKey upper = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(kHKeyLocalMachine, "software\\AUTODESK\\autocad", 0, plat::kKeyRead, &upper),
            plat::kErrorSuccess);
  reg().RegCloseKey(upper);

  // a missing key: ERROR_FILE_NOT_FOUND, the result cleared
  HKey missing = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(key, "R19.0", 0, plat::kKeyRead, &missing), plat::kErrorFileNotFound);
  EXPECT_EQ(missing, 0u) << "expected the result cleared";

  // a missing key on the way: ERROR_FILE_NOT_FOUND
  missing = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Nothing\\AutoCAD", 0, plat::kKeyRead, &missing),
            plat::kErrorFileNotFound);

  // a null key: ERROR_INVALID_HANDLE, the result left alone
  HKey untouched = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(0, "SOFTWARE", 0, plat::kKeyRead, &untouched), plat::kErrorInvalidHandle);
  EXPECT_EQ(untouched, kSentinelKey) << "expected the result untouched";

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, RegQueryInfoKeyA) {
  HKey key = Create(kHKeyCurrentUser, "Software\\Info");

  // a key without subkeys or values: all zero
  std::uint32_t subKeys = kSentinel, maxLen = kSentinel, values = kSentinel;
  ASSERT_EQ(reg().RegQueryInfoKeyA(key, &subKeys, &maxLen, &values), plat::kErrorSuccess);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(maxLen, 0u);
  EXPECT_EQ(values, 0u);

  CreateClosed(key, "short");
  CreateClosed(key, "a much longer name");
  ASSERT_EQ(SetString(key, "one", "1"), plat::kErrorSuccess);
  ASSERT_EQ(SetString(key, "", "default"), plat::kErrorSuccess);

  // counts, and the longest subkey name without its terminator
  subKeys = maxLen = values = kSentinel;
  ASSERT_EQ(reg().RegQueryInfoKeyA(key, &subKeys, &maxLen, &values), plat::kErrorSuccess);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxLen, std::strlen("a much longer name"));
  EXPECT_EQ(values, 2u) << "expected the default value counted";

  // only the subkey count asked for: the others may be null
  subKeys = kSentinel;
  EXPECT_EQ(reg().RegQueryInfoKeyA(key, &subKeys, nullptr, nullptr), plat::kErrorSuccess);
  EXPECT_EQ(subKeys, 2u);

  // nothing asked for
  EXPECT_EQ(reg().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr), plat::kErrorSuccess);

  // a handle without KEY_QUERY_VALUE: ERROR_ACCESS_DENIED, the outputs untouched.
  // Windows asks KEY_QUERY_VALUE of the handle (as documented for RegQueryInfoKey).
  // Wine's server answers NtQueryKey through its enum_key request with index -1,
  // which asks no access at all, so under Wine the call succeeds; the model
  // follows Windows.
  HKey writeOnly = Open(kHKeyCurrentUser, "Software\\Info", kKeySetValue);
  subKeys = kSentinel;
  if (IsWine()) {
    EXPECT_EQ(reg().RegQueryInfoKeyA(writeOnly, &subKeys, nullptr, nullptr), plat::kErrorSuccess);
    EXPECT_EQ(subKeys, 2u);
  } else {
    EXPECT_EQ(reg().RegQueryInfoKeyA(writeOnly, &subKeys, nullptr, nullptr), plat::kErrorAccessDenied);
    EXPECT_EQ(subKeys, kSentinel) << "expected the count untouched";
  }
  reg().RegCloseKey(writeOnly);

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, RegEnumKeyExA) {
  HKey key = Create(kHKeyCurrentUser, "Software\\Enum");
  for (const char* name : {"b", "A", "_x", "a1", "B2"}) CreateClosed(key, name);

  // the order of mixed case, digits and an underscore. Windows sorts by upcased
  // UTF-16 units, so "_" (0x5F) comes after the letters (0x41..0x5A). Wine's server
  // compares lowercased names instead and puts "_x" first (0x5F < 0x61); the model
  // follows Windows.
  const std::vector<std::string> windowsOrder = {"A", "a1", "b", "B2", "_x"};
  const std::vector<std::string> wineOrder = {"_x", "A", "a1", "b", "B2"};
  EXPECT_EQ(SubKeys(key), IsWine() ? wineOrder : windowsOrder) << "names keep the case they were created with";

  // past the end: ERROR_NO_MORE_ITEMS, buffer and length untouched
  char name[256];
  std::memset(name, 'x', sizeof name);
  std::uint32_t len = sizeof name;
  EXPECT_EQ(reg().RegEnumKeyExA(key, 5, name, &len), plat::kErrorNoMoreItems);
  EXPECT_EQ(len, sizeof name);
  EXPECT_EQ(name[0], 'x');
  EXPECT_EQ(reg().RegEnumKeyExA(key, 1000, name, &len), plat::kErrorNoMoreItems);

  // a name and its terminator exactly fill the buffer; one less does not fit
  HKey sized = Create(kHKeyCurrentUser, "Software\\Sized");
  CreateClosed(sized, "abc");
  len = 4;
  EXPECT_EQ(reg().RegEnumKeyExA(sized, 0, name, &len), plat::kErrorSuccess);
  EXPECT_EQ(len, 3u) << "expected the length without terminator";
  EXPECT_STREQ(name, "abc");
  len = 3;
  EXPECT_EQ(reg().RegEnumKeyExA(sized, 0, name, &len), plat::kErrorMoreData);
  reg().RegCloseKey(sized);

  // a 255-character name, the longest there is, fits the 256 buffer; not a 255 one
  HKey longest = Create(kHKeyCurrentUser, "Software\\Longest");
  const std::string longName(255, 'k');
  CreateClosed(longest, longName);
  len = 256;
  ASSERT_EQ(reg().RegEnumKeyExA(longest, 0, name, &len), plat::kErrorSuccess);
  EXPECT_EQ(len, 255u);
  EXPECT_EQ(std::string(name), longName);
  len = 255;
  EXPECT_EQ(reg().RegEnumKeyExA(longest, 0, name, &len), plat::kErrorMoreData);
  reg().RegCloseKey(longest);

  // a handle without KEY_ENUMERATE_SUB_KEYS: ERROR_ACCESS_DENIED
  HKey writeOnly = Open(kHKeyCurrentUser, "Software\\Enum", kKeySetValue);
  len = sizeof name;
  EXPECT_EQ(reg().RegEnumKeyExA(writeOnly, 0, name, &len), plat::kErrorAccessDenied);
  reg().RegCloseKey(writeOnly);

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, RegQueryValueExA) {
  HKey key = Create(kHKeyLocalMachine, "SOFTWARE\\Values");
  const std::string chars255(255, 'v'), chars256(256, 'w');
  ASSERT_EQ(SetString(key, "Len255", chars255), plat::kErrorSuccess);
  ASSERT_EQ(SetString(key, "Len256", chars256), plat::kErrorSuccess);
  ASSERT_EQ(SetString(key, "Path", "%SystemRoot%\\Fonts", plat::kRegExpandSz), plat::kErrorSuccess);
  const std::uint8_t three[] = {1, 2, 3};
  ASSERT_EQ(reg().RegSetValueExA(key, "Bin", 0, plat::kRegBinary, three, 3), plat::kErrorSuccess);

  // null data: the size and type only
  std::uint32_t type = kSentinel, size = kSentinel;
  ASSERT_EQ(reg().RegQueryValueExA(key, "Len255", &type, nullptr, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 256u) << "expected the size with the NUL";
  EXPECT_EQ(type, plat::kRegSz);

  // 255 characters and the NUL fill a 256-byte buffer exactly
  std::uint8_t buffer[256];
  size = sizeof buffer;
  type = kSentinel;
  ASSERT_EQ(reg().RegQueryValueExA(key, "Len255", &type, buffer, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 256u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), chars255);

  // 256 characters do not fit: ERROR_MORE_DATA with the size needed
  size = sizeof buffer;
  type = kSentinel;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Len256", &type, buffer, &size), plat::kErrorMoreData);
  EXPECT_EQ(size, 257u) << "expected the size needed";
  EXPECT_EQ(type, plat::kRegSz) << "expected the type even when the data does not fit";

  // binary data: an exact fit, and one byte short
  std::uint8_t small[3];
  size = 3;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Bin", nullptr, small, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(std::memcmp(small, three, 3), 0);
  size = 2;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Bin", nullptr, small, &size), plat::kErrorMoreData);
  EXPECT_EQ(size, 3u);

  // an expandable string comes back raw, not expanded
  type = kSentinel;
  size = sizeof buffer;
  ASSERT_EQ(reg().RegQueryValueExA(key, "Path", &type, buffer, &size), plat::kErrorSuccess);
  EXPECT_EQ(type, plat::kRegExpandSz);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), std::string("%SystemRoot%\\Fonts", 19));

  // value names are looked up without regard to letter case
  EXPECT_EQ(Read(key, "len255"), chars255 + std::string(1, '\0'));

  // a missing value with a buffer: ERROR_FILE_NOT_FOUND, size and type untouched
  size = sizeof buffer;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Missing", nullptr, buffer, &size), plat::kErrorFileNotFound);
  EXPECT_EQ(size, sizeof buffer) << "expected the size untouched";

  // a missing value without a buffer: ERROR_FILE_NOT_FOUND and the size set to 0
  size = kSentinel;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Missing", nullptr, nullptr, &size), plat::kErrorFileNotFound);
  EXPECT_EQ(size, 0u);

  // null and empty names both mean the default value
  EXPECT_EQ(reg().RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr), plat::kErrorFileNotFound);
  ASSERT_EQ(SetString(key, nullptr, "default"), plat::kErrorSuccess);
  EXPECT_EQ(Read(key, ""), std::string("default", 8));

  // a handle without KEY_QUERY_VALUE: ERROR_ACCESS_DENIED
  HKey writeOnly = Open(kHKeyLocalMachine, "SOFTWARE\\Values", kKeySetValue);
  size = sizeof buffer;
  EXPECT_EQ(reg().RegQueryValueExA(writeOnly, "Len255", nullptr, buffer, &size), plat::kErrorAccessDenied);
  reg().RegCloseKey(writeOnly);

  // a string stored without its NUL: read back as stored, and terminated when there is room
  ASSERT_EQ(reg().RegSetValueExA(key, "Bare", 0, plat::kRegSz, Bytes("abcd"), 3), plat::kErrorSuccess);
  std::memset(buffer, 'x', sizeof buffer);
  size = 3;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Bare", nullptr, buffer, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(buffer[3], 'x') << "no room: nothing written after the data";
  size = sizeof buffer;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Bare", nullptr, buffer, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 3u) << "the size stays the stored one";
  EXPECT_EQ(buffer[3], 0) << "expected a NUL after the data";

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, RegCloseKey) {
  HKey key = Create(kHKeyCurrentUser, "Software\\Close");

  // an open handle closes once; the second time it is no handle
  EXPECT_EQ(reg().RegCloseKey(key), plat::kErrorSuccess);
  EXPECT_EQ(reg().RegCloseKey(key), plat::kErrorInvalidHandle);

  // a predefined key: success, and it stays usable
  EXPECT_EQ(reg().RegCloseKey(kHKeyCurrentUser), plat::kErrorSuccess);
  HKey again = Open(kHKeyCurrentUser, "Software\\Close");
  reg().RegCloseKey(again);

  // the null handle
  EXPECT_EQ(reg().RegCloseKey(0), plat::kErrorInvalidHandle);

  // a closed handle is no handle for the other calls either
  std::uint32_t size = kSentinel;
  EXPECT_EQ(reg().RegQueryValueExA(key, "v", nullptr, nullptr, &size), plat::kErrorInvalidHandle);
  HKey sub = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(key, "sub", 0, plat::kKeyRead, &sub), plat::kErrorInvalidHandle);
  EXPECT_EQ(sub, 0u) << "expected the result cleared";
}

TEST_F(RegistryContract, RegCreateKeyA) {
  // missing intermediate keys are created on the way
  HKey key = kSentinelKey;
  ASSERT_EQ(reg().RegCreateKeyA(kHKeyLocalMachine,
                                "SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804\\Applications\\Kavtor2007", &key),
            plat::kErrorSuccess);
  EXPECT_NE(key, kSentinelKey);
  EXPECT_NE(key, 0u);

  // the created key holds exactly the values written, and the handle can write
  const std::uint32_t two = 2;
  EXPECT_EQ(reg().RegSetValueExA(key, "LOADCTRLS", 0, plat::kRegDword, reinterpret_cast<const std::uint8_t*>(&two), 4),
            plat::kErrorSuccess);
  EXPECT_EQ(SetString(key, "LOADER", "C:\\Kavtor\\Vellmark\\Kavtor2008.ARX"), plat::kErrorSuccess);
  std::uint32_t subKeys = kSentinel, values = kSentinel;
  EXPECT_EQ(reg().RegQueryInfoKeyA(key, &subKeys, nullptr, &values), plat::kErrorSuccess);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 2u);
  reg().RegCloseKey(key);

  HKey parent = Open(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804");
  EXPECT_EQ(SubKeys(parent), std::vector<std::string>{"Applications"});

  // an existing key opens with its values
  HKey existing = kSentinelKey;
  ASSERT_EQ(reg().RegCreateKeyA(parent, "Applications\\Kavtor2007", &existing), plat::kErrorSuccess);
  EXPECT_EQ(Read(existing, "LOADER"), std::string("C:\\Kavtor\\Vellmark\\Kavtor2008.ARX", 34));
  reg().RegCloseKey(existing);

  // the parent handle's access is not what counts: a KEY_READ parent creates
  HKey created = kSentinelKey;
  EXPECT_EQ(reg().RegCreateKeyA(parent, "Applications\\Kavtor2007DLL", &created), plat::kErrorSuccess);
  reg().RegCloseKey(created);

  // a trailing backslash creates the key, not an empty-named child
  HKey trailing = kSentinelKey;
  ASSERT_EQ(reg().RegCreateKeyA(parent, "Trailing\\", &trailing), plat::kErrorSuccess);
  EXPECT_EQ(SubKeys(trailing), std::vector<std::string>{});
  reg().RegCloseKey(trailing);
  EXPECT_EQ(SubKeys(parent), (std::vector<std::string>{"Applications", "Trailing"}));

  // a leading backslash: ERROR_BAD_PATHNAME, nothing created
  HKey leading = kSentinelKey;
  EXPECT_EQ(reg().RegCreateKeyA(parent, "\\Leading", &leading), kErrorBadPathname);
  EXPECT_EQ(SubKeys(parent), (std::vector<std::string>{"Applications", "Trailing"}));

  reg().RegCloseKey(parent);
}

TEST_F(RegistryContract, RegDeleteKeyA) {
  HKey app = Create(kHKeyLocalMachine, "SOFTWARE\\Install\\Applications\\Kavtor2010");
  ASSERT_EQ(SetString(app, "LOADER", "old"), plat::kErrorSuccess);
  reg().RegCloseKey(app);
  CreateClosed(kHKeyLocalMachine, "SOFTWARE\\Install\\Applications\\Busy\\Child");
  HKey install = Open(kHKeyLocalMachine, "SOFTWARE\\Install");

  // a key without subkeys goes, with its values; a path names the last key only
  EXPECT_EQ(reg().RegDeleteKeyA(install, "Applications\\Kavtor2010"), plat::kErrorSuccess);
  HKey gone = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(install, "Applications\\Kavtor2010", 0, plat::kKeyRead, &gone),
            plat::kErrorFileNotFound);
  HKey apps = Open(install, "Applications");
  EXPECT_EQ(SubKeys(apps), std::vector<std::string>{"Busy"});

  // a key with subkeys stays, with them: ERROR_ACCESS_DENIED
  EXPECT_EQ(reg().RegDeleteKeyA(install, "Applications\\Busy"), plat::kErrorAccessDenied);
  HKey child = Open(install, "Applications\\Busy\\Child");
  reg().RegCloseKey(child);

  // a missing key: ERROR_FILE_NOT_FOUND
  EXPECT_EQ(reg().RegDeleteKeyA(install, "Applications\\Kavtor2010"), plat::kErrorFileNotFound);

  // a null sub key: ERROR_INVALID_PARAMETER, nothing deleted
  EXPECT_EQ(reg().RegDeleteKeyA(apps, nullptr), plat::kErrorInvalidParameter);

  // deleting works through a KEY_READ handle: DELETE is asked of the key that goes
  EXPECT_EQ(reg().RegDeleteKeyA(install, "Applications\\Busy\\Child"), plat::kErrorSuccess);

  // the empty sub key: the key the handle stands for
  HKey busy = Open(install, "Applications\\Busy");
  EXPECT_EQ(reg().RegDeleteKeyA(busy, ""), plat::kErrorSuccess);
  reg().RegCloseKey(busy);
  EXPECT_EQ(SubKeys(apps), std::vector<std::string>{});

  reg().RegCloseKey(apps);
  reg().RegCloseKey(install);
}

TEST_F(RegistryContract, RegSetValueExA) {
  HKey key = Create(kHKeyCurrentUser, "Software\\Set");

  // REG_SZ with the NUL counted: the same bytes come back
  const char text[] = "C:\\LIB;D:\\BLOCKS;E:\\TOOLS\\VELLMARK";
  ASSERT_EQ(reg().RegSetValueExA(key, "TRUSTEDPATHS", 0, plat::kRegSz, Bytes(text), sizeof text), plat::kErrorSuccess);
  std::uint32_t type = kSentinel, size = kSentinel;
  ASSERT_EQ(reg().RegQueryValueExA(key, "TRUSTEDPATHS", &type, nullptr, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(type, plat::kRegSz);
  EXPECT_EQ(Read(key, "TRUSTEDPATHS"), std::string(text, sizeof text));

  // exactly `size` bytes are stored ("abcd" with size 3: neither the 3rd nor the
  // 4th byte is NUL, so Windows adds nothing either)
  ASSERT_EQ(reg().RegSetValueExA(key, "Three", 0, plat::kRegBinary, Bytes("abcd"), 3), plat::kErrorSuccess);
  EXPECT_EQ(Read(key, "Three"), "abc");

  // a REG_DWORD
  const std::uint32_t one = 1;
  ASSERT_EQ(reg().RegSetValueExA(key, "MANAGED", 0, plat::kRegDword, reinterpret_cast<const std::uint8_t*>(&one), 4),
            plat::kErrorSuccess);
  EXPECT_EQ(Read(key, "MANAGED"), std::string("\x01\0\0\0", 4));

  // writing again replaces type and data; the value stays one value
  ASSERT_EQ(SetString(key, "managed", "1"), plat::kErrorSuccess);
  type = kSentinel;
  EXPECT_EQ(reg().RegQueryValueExA(key, "MANAGED", &type, nullptr, nullptr), plat::kErrorSuccess);
  EXPECT_EQ(type, plat::kRegSz);
  std::uint32_t values = kSentinel;
  EXPECT_EQ(reg().RegQueryInfoKeyA(key, nullptr, nullptr, &values), plat::kErrorSuccess);
  EXPECT_EQ(values, 3u);

  // an empty REG_SZ of zero bytes
  ASSERT_EQ(reg().RegSetValueExA(key, "Empty", 0, plat::kRegSz, Bytes(""), 0), plat::kErrorSuccess);
  size = kSentinel;
  EXPECT_EQ(reg().RegQueryValueExA(key, "Empty", nullptr, nullptr, &size), plat::kErrorSuccess);
  EXPECT_EQ(size, 0u);

  // a KEY_READ handle refuses writes: ERROR_ACCESS_DENIED, nothing written
  HKey readOnly = Open(kHKeyCurrentUser, "Software\\Set");
  EXPECT_EQ(SetString(readOnly, "Refused", "x"), plat::kErrorAccessDenied);
  EXPECT_EQ(reg().RegQueryValueExA(key, "Refused", nullptr, nullptr, nullptr), plat::kErrorFileNotFound);
  reg().RegCloseKey(readOnly);

  reg().RegCloseKey(key);
}

TEST_F(RegistryContract, DeletedKeyStillOpen) {
  HKey key = Create(kHKeyCurrentUser, "Software\\Doomed");
  ASSERT_EQ(SetString(key, "value", "x"), plat::kErrorSuccess);
  HKey parent = Open(kHKeyCurrentUser, "Software");
  ASSERT_EQ(reg().RegDeleteKeyA(parent, "Doomed"), plat::kErrorSuccess);

  // every use of the other handle: ERROR_KEY_DELETED
  std::uint8_t buffer[16];
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(reg().RegQueryValueExA(key, "value", nullptr, buffer, &size), plat::kErrorKeyDeleted);
  EXPECT_EQ(SetString(key, "value", "y"), plat::kErrorKeyDeleted);
  std::uint32_t count = kSentinel;
  EXPECT_EQ(reg().RegQueryInfoKeyA(key, &count, nullptr, nullptr), plat::kErrorKeyDeleted);
  char name[16];
  std::uint32_t len = sizeof name;
  EXPECT_EQ(reg().RegEnumKeyExA(key, 0, name, &len), plat::kErrorKeyDeleted);
  HKey sub = kSentinelKey;
  EXPECT_EQ(reg().RegOpenKeyExA(key, "sub", 0, plat::kKeyRead, &sub), plat::kErrorKeyDeleted);
  sub = kSentinelKey;
  EXPECT_EQ(reg().RegCreateKeyA(key, "sub", &sub), plat::kErrorKeyDeleted);
  EXPECT_EQ(sub, 0u) << "expected the result cleared";

  // closing it still works
  EXPECT_EQ(reg().RegCloseKey(key), plat::kErrorSuccess);
  reg().RegCloseKey(parent);
}

TEST_F(RegistryContract, GbkNames) {
  // (code page 936: the literals below are GBK bytes)
  HKey key = Create(kHKeyCurrentUser, "Software\\软件\\中文键");
  const std::string data = "数据 C:\\工具";
  ASSERT_EQ(SetString(key, "名称", data), plat::kErrorSuccess);
  reg().RegCloseKey(key);

  // a Chinese key and value name round-trip, bytes for bytes
  HKey parent = Open(kHKeyCurrentUser, "Software\\软件");
  EXPECT_EQ(SubKeys(parent), std::vector<std::string>{"中文键"});
  HKey reopened = Open(parent, "中文键");
  EXPECT_EQ(Read(reopened, "名称"), data + std::string(1, '\0'));
  reg().RegCloseKey(reopened);

  // the longest subkey name is counted in characters, not in bytes
  std::uint32_t maxLen = kSentinel;
  EXPECT_EQ(reg().RegQueryInfoKeyA(parent, nullptr, &maxLen, nullptr), plat::kErrorSuccess);
  EXPECT_EQ(maxLen, 3u) << "expected 3 characters for 6 bytes";

  // Chinese names sort by UTF-16 units: 中 (U+4E2D, GBK D6D0) before 啊 (U+554A, GBK B0A1)
  CreateClosed(parent, "啊");
  CreateClosed(parent, "中");
  EXPECT_EQ(SubKeys(parent), (std::vector<std::string>{"中", "中文键", "啊"}));

  // a trail byte 0x5C is no separator: 襖 is D2 5C
  HKey coat = Create(parent, "襖");
  reg().RegCloseKey(coat);
  EXPECT_EQ(SubKeys(parent), (std::vector<std::string>{"中", "中文键", "啊", "襖"}));

  // letter case beyond ASCII is ignored too, as Windows upcases Cyrillic
  CreateClosed(parent, "ДОМ");
  HKey lower = Open(parent, "дом");
  reg().RegCloseKey(lower);

  reg().RegCloseKey(parent);
}

}  // namespace
