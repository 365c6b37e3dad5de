// The in-memory registry beyond the contract: fault injection, handle counting,
// the simulated ACLs, the test-side helpers and the canonical export. What the
// real registry does is pinned down by RegistryContractTests.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryRegistry.h"

namespace {

using mem::MemoryRegistry;
using plat::HKey;
using plat::kHKeyCurrentUser;
using plat::kHKeyLocalMachine;

constexpr HKey kSentinelKey = 0xdeadbeef;

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

class MemoryRegistryTest : public ::testing::Test {
 protected:
  MemoryRegistryTest() {
    reg.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0", "ProductName", "AutoCAD 2007");
    reg.SetDword("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0", "Flags", 7);
    reg.CreateKey("HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804\\Profiles");
  }

  mem::FaultInjector faults;
  MemoryRegistry reg{faults};
};

// --- Fault injection ---------------------------------------------------------

struct FaultCase {
  const char* operation;
  std::function<long(MemoryRegistry&, HKey open, HKey* out)> call;
};

std::vector<FaultCase> FaultCases() {
  return {
      {"RegOpenKeyA",
       [](MemoryRegistry& r, HKey, HKey* out) { return r.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE", out); }},
      {"RegOpenKeyExA",
       [](MemoryRegistry& r, HKey, HKey* out) {
         return r.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE", 0, plat::kKeyRead, out);
       }},
      {"RegQueryInfoKeyA",
       [](MemoryRegistry& r, HKey open, HKey*) {
         std::uint32_t n = 0xdeadbeef;
         const long rc = r.RegQueryInfoKeyA(open, &n, &n, &n);
         return n == 0xdeadbeef ? rc : -1;
       }},
      {"RegEnumKeyExA",
       [](MemoryRegistry& r, HKey open, HKey*) {
         char name[256] = "x";
         std::uint32_t len = sizeof name;
         const long rc = r.RegEnumKeyExA(open, 0, name, &len);
         return (len == sizeof name && name[0] == 'x') ? rc : -1;
       }},
      {"RegQueryValueExA",
       [](MemoryRegistry& r, HKey open, HKey*) {
         std::uint32_t size = 0xdeadbeef;
         return r.RegQueryValueExA(open, "Missing", nullptr, nullptr, &size) != 0 && size == 0xdeadbeef ? 5 : -1;
       }},
      {"RegCreateKeyA", [](MemoryRegistry& r, HKey,
                           HKey* out) { return r.RegCreateKeyA(kHKeyLocalMachine, "SOFTWARE\\New\\Key", out); }},
      {"RegDeleteKeyA",
       [](MemoryRegistry& r, HKey, HKey*) {
         return r.RegDeleteKeyA(kHKeyCurrentUser, "Software\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804\\Profiles");
       }},
      {"RegSetValueExA", [](MemoryRegistry& r, HKey open,
                            HKey*) { return r.RegSetValueExA(open, "New", 0, plat::kRegSz, Bytes("x"), 2); }},
  };
}

TEST_F(MemoryRegistryTest, EachOperationMadeToFailChangesNothingAndOpensNothing) {
  for (const FaultCase& c : FaultCases()) {
    SCOPED_TRACE(c.operation);
    HKey open = 0;
    ASSERT_EQ(reg.RegCreateKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD", &open), 0);
    const std::string before = reg.Export();
    faults.Clear();
    faults.ResetCount();
    faults.FailOperation(c.operation);

    HKey out = kSentinelKey;
    EXPECT_NE(c.call(reg, open, &out), plat::kErrorSuccess);
    EXPECT_EQ(faults.Failures(), std::vector<std::string>{c.operation});
    EXPECT_EQ(reg.Export(), before) << "a failed call must change nothing";
    EXPECT_EQ(reg.OpenHandles(), 1u) << "a failed call must open nothing";
    if (out != kSentinelKey) {
      EXPECT_EQ(out, 0u) << "a failed open leaves 0 in the result";
    }

    faults.Clear();
    reg.RegCloseKey(open);
  }
}

TEST_F(MemoryRegistryTest, OpenAndCreateMadeToFailClearTheResult) {
  for (const char* operation : {"RegOpenKeyA", "RegOpenKeyExA", "RegCreateKeyA"}) {
    faults.FailOperation(operation);
    HKey out = kSentinelKey;
    if (std::string(operation) == "RegOpenKeyA") reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE", &out);
    if (std::string(operation) == "RegOpenKeyExA")
      reg.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE", 0, plat::kKeyRead, &out);
    if (std::string(operation) == "RegCreateKeyA") reg.RegCreateKeyA(kHKeyLocalMachine, "SOFTWARE", &out);
    EXPECT_EQ(out, 0u) << operation;
  }
}

TEST_F(MemoryRegistryTest, CloseMadeToFailStillClosesTheHandle) {
  HKey key = 0;
  ASSERT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE", &key), 0);
  faults.FailOperation("RegCloseKey");
  EXPECT_EQ(reg.RegCloseKey(key), plat::kErrorInvalidHandle);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(MemoryRegistryTest, FailCallCountsEveryRegistryCall) {
  faults.ResetCount();
  faults.FailCall(3);
  HKey a = 0, b = 0;
  EXPECT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE", &a), 0);       // call 1
  EXPECT_EQ(reg.RegQueryInfoKeyA(a, nullptr, nullptr, nullptr), 0);       // call 2
  EXPECT_NE(reg.RegOpenKeyExA(a, "Autodesk", 0, plat::kKeyRead, &b), 0);  // call 3 fails
  EXPECT_EQ(reg.RegOpenKeyExA(a, "Autodesk", 0, plat::kKeyRead, &b), 0);  // call 4
  EXPECT_EQ(faults.Calls(), 4u);
  reg.RegCloseKey(b);
  reg.RegCloseKey(a);
}

// --- Handles -------------------------------------------------------------------

TEST_F(MemoryRegistryTest, CountsOpenHandlesButNotPredefinedKeys) {
  EXPECT_EQ(reg.OpenHandles(), 0u);
  HKey root = 0, same = 0, a = 0, b = 0;
  reg.RegOpenKeyA(kHKeyLocalMachine, nullptr, &root);
  reg.RegOpenKeyExA(kHKeyLocalMachine, "", 0, plat::kKeyRead, &same);
  EXPECT_EQ(reg.OpenHandles(), 0u) << "the predefined keys come back as themselves";
  reg.RegOpenKeyExA(root, "SOFTWARE", 0, plat::kKeyRead, &a);
  reg.RegOpenKeyExA(a, "", 0, plat::kKeyRead, &b);
  EXPECT_EQ(reg.OpenHandles(), 2u) << "the empty sub key of a real handle is a second handle";
  HKey alias = 0;
  reg.RegOpenKeyA(a, "", &alias);
  EXPECT_EQ(alias, a);
  EXPECT_EQ(reg.OpenHandles(), 2u);
  reg.RegCloseKey(a);
  reg.RegCloseKey(a);
  EXPECT_EQ(reg.OpenHandles(), 1u);
  reg.RegCloseKey(b);
  reg.RegCloseKey(root);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(MemoryRegistryTest, CreateWithoutSubKeyOnAPredefinedKeyGivesItBack) {
  // As RegCreateKeyA is documented; Wine opens a new handle to the hive instead.
  HKey key = kSentinelKey;
  EXPECT_EQ(reg.RegCreateKeyA(kHKeyLocalMachine, nullptr, &key), 0);
  EXPECT_EQ(key, kHKeyLocalMachine);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(MemoryRegistryTest, NamesLongerThan255CharactersAreRefused) {
  // Windows' limit; Wine's server accepts up to 256.
  HKey key = kSentinelKey;
  EXPECT_EQ(reg.RegCreateKeyA(kHKeyCurrentUser, std::string(256, 'n').c_str(), &key), plat::kErrorInvalidParameter);
  EXPECT_EQ(key, 0u);
  // counted in UTF-16 units: 255 Chinese characters are 510 bytes and fine
  std::string chinese;
  for (int i = 0; i < 255; ++i) chinese += "中";
  ASSERT_EQ(reg.RegCreateKeyA(kHKeyCurrentUser, chinese.c_str(), &key), 0);
  reg.RegCloseKey(key);
  EXPECT_EQ(reg.SubKeyNames("HKEY_CURRENT_USER"), (std::vector<std::string>{"Software", chinese}));
}

TEST_F(MemoryRegistryTest, DeleteTreeLeavesOpenHandlesDeleted) {
  HKey key = 0;
  ASSERT_EQ(reg.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0", 0, plat::kKeyRead, &key), 0);
  ASSERT_TRUE(reg.DeleteTree("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk"));
  std::uint32_t size = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "ProductName", nullptr, nullptr, &size), plat::kErrorKeyDeleted);
  EXPECT_EQ(reg.RegCloseKey(key), 0);
  EXPECT_FALSE(reg.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk"));
  EXPECT_TRUE(reg.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE"));
}

// --- Simulated ACLs ------------------------------------------------------------

TEST_F(MemoryRegistryTest, ReadDeniedKeyRefusesReadingButMayBeWritten) {
  ASSERT_TRUE(reg.DenyAccess("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0", true, false));
  HKey key = kSentinelKey;
  EXPECT_EQ(reg.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0", 0, plat::kKeyRead, &key),
            plat::kErrorAccessDenied);
  EXPECT_EQ(key, 0u);
  // MAXIMUM_ALLOWED gets what is left: writing
  ASSERT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0", &key), 0);
  std::uint32_t size = 0;
  EXPECT_EQ(reg.RegQueryValueExA(key, "ProductName", nullptr, nullptr, &size), plat::kErrorAccessDenied);
  EXPECT_EQ(reg.RegSetValueExA(key, "New", 0, plat::kRegSz, Bytes("x"), 2), 0);
  reg.RegCloseKey(key);
  // the subkeys are not affected: no traverse check in the registry
  HKey parent = 0;
  EXPECT_EQ(reg.RegOpenKeyExA(kHKeyLocalMachine, "SOFTWARE\\Autodesk", 0, plat::kKeyRead, &parent), 0);
  reg.RegCloseKey(parent);
}

TEST_F(MemoryRegistryTest, WriteDeniedKeyRefusesValuesSubkeysAndDeletion) {
  const std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0";
  reg.CreateKey(path + "\\Existing");
  ASSERT_TRUE(reg.DenyAccess(path, false, true));
  const std::string before = reg.Export();

  HKey key = kSentinelKey;
  ASSERT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0", &key), 0);
  EXPECT_EQ(reg.RegSetValueExA(key, "New", 0, plat::kRegSz, Bytes("x"), 2), plat::kErrorAccessDenied);
  HKey sub = kSentinelKey;
  EXPECT_EQ(reg.RegCreateKeyA(key, "Applications\\Kavtor2007", &sub), plat::kErrorAccessDenied);
  EXPECT_EQ(sub, 0u);
  EXPECT_EQ(reg.RegDeleteKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\Existing"), 0)
      << "the subkey itself is not denied";
  reg.CreateKey(path + "\\Existing");
  EXPECT_EQ(reg.Export(), before);
  // an existing subkey still opens through RegCreateKeyA
  ASSERT_EQ(reg.RegCreateKeyA(key, "Existing", &sub), 0);
  reg.RegCloseKey(sub);
  reg.RegCloseKey(key);

  reg.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked");
  reg.DenyAccess("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked", false, true);
  EXPECT_EQ(reg.RegDeleteKeyA(kHKeyLocalMachine, "SOFTWARE\\Locked"), plat::kErrorAccessDenied);
  EXPECT_TRUE(reg.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked"));
}

TEST_F(MemoryRegistryTest, FullyDeniedKeyDoesNotOpenAtAll) {
  reg.DenyAccess("HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk", true, true);
  HKey key = kSentinelKey;
  EXPECT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk", &key), plat::kErrorAccessDenied);
  EXPECT_EQ(reg.RegCreateKeyA(kHKeyLocalMachine, "SOFTWARE\\Autodesk", &key), plat::kErrorAccessDenied);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(MemoryRegistryTest, OpenHandlesKeepTheirAccessWhenTheAclChanges) {
  HKey key = 0;
  ASSERT_EQ(reg.RegOpenKeyA(kHKeyLocalMachine, "SOFTWARE", &key), 0);
  reg.DenyAccess("HKEY_LOCAL_MACHINE\\SOFTWARE", true, true);
  EXPECT_EQ(reg.RegSetValueExA(key, "Late", 0, plat::kRegSz, Bytes("x"), 2), 0);
  reg.RegCloseKey(key);
}

TEST_F(MemoryRegistryTest, ADeniedHiveRootLimitsThePredefinedKey) {
  reg.DenyAccess("HKEY_LOCAL_MACHINE", false, true);
  EXPECT_EQ(reg.RegSetValueExA(kHKeyLocalMachine, "x", 0, plat::kRegSz, Bytes("x"), 2), plat::kErrorAccessDenied);
  std::uint32_t n = 0;
  EXPECT_EQ(reg.RegQueryInfoKeyA(kHKeyLocalMachine, &n, nullptr, nullptr), 0);
  EXPECT_EQ(n, 1u);
}

// --- Test-side helpers and Export ------------------------------------------------

TEST_F(MemoryRegistryTest, HelpersReadWhatTheCallsWrote) {
  HKey key = 0;
  ASSERT_EQ(reg.RegCreateKeyA(kHKeyCurrentUser, "Software\\Set", &key), 0);
  reg.RegSetValueExA(key, "B", 0, plat::kRegSz, Bytes("second"), 7);
  reg.RegSetValueExA(key, "A", 0, plat::kRegBinary, Bytes("\x01\x02"), 2);
  reg.RegCloseKey(key);
  EXPECT_EQ(reg.GetString("HKCU\\Software\\Set", "b"), "second");
  EXPECT_EQ(reg.GetValue("HKEY_CURRENT_USER\\Software\\Set", "A"),
            (MemoryRegistry::Value{plat::kRegBinary, "\x01\x02"}));
  EXPECT_EQ(reg.ValueNames("HKEY_CURRENT_USER\\Software\\Set"), (std::vector<std::string>{"B", "A"}))
      << "values in the order first set";
  EXPECT_FALSE(reg.GetValue("HKEY_CURRENT_USER\\Software\\Set", "C"));
  EXPECT_TRUE(reg.DeleteValue("HKEY_CURRENT_USER\\Software\\Set", "a"));
  EXPECT_EQ(reg.ValueNames("HKEY_CURRENT_USER\\Software\\Set"), std::vector<std::string>{"B"});
  EXPECT_FALSE(reg.CreateKey("HKEY_CLASSES_ROOT\\x")) << "only the two hives are modelled";
  EXPECT_FALSE(reg.CreateKey("HKEY_CURRENT_USER\\\\x")) << "a leading separator below the hive";
}

TEST(MemoryRegistryExport, IsTheSameWhateverTheOrderOfCreation) {
  mem::FaultInjector faults;
  MemoryRegistry a(faults), b(faults);
  a.SetString("HKLM\\SOFTWARE\\Zeta", "v", "1");
  a.SetString("HKLM\\SOFTWARE\\alpha", "v", "2");
  a.CreateKey("HKCU\\Software");
  b.CreateKey("HKCU\\Software");
  b.SetString("HKLM\\SOFTWARE\\alpha", "v", "2");
  b.SetString("HKLM\\SOFTWARE\\Zeta", "v", "1");
  EXPECT_EQ(a.Export(), b.Export());
  EXPECT_EQ(a.Export(),
            "[HKEY_LOCAL_MACHINE]\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\alpha]\n"
            "\"v\"=sz:\"2\\0\"\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta]\n"
            "\"v\"=sz:\"1\\0\"\n"
            "[HKEY_CURRENT_USER]\n"
            "[HKEY_CURRENT_USER\\Software]\n");
}

TEST(MemoryRegistryExport, ShowsEveryDifference) {
  mem::FaultInjector faults;
  MemoryRegistry a(faults);
  a.SetString("HKCU\\K", "v", "x");
  const std::string base = a.Export();
  const auto changed = [&](const std::function<void(MemoryRegistry&)>& change) {
    MemoryRegistry b(faults);
    b.SetString("HKCU\\K", "v", "x");
    change(b);
    return b.Export() != base;
  };
  EXPECT_TRUE(changed([](MemoryRegistry& b) { b.SetString("HKCU\\K", "v", "x", plat::kRegExpandSz); })) << "type";
  EXPECT_TRUE(changed([](MemoryRegistry& b) { b.SetValue("HKCU\\K", "v", plat::kRegSz, "x"); })) << "the NUL";
  EXPECT_FALSE(changed([](MemoryRegistry& b) { b.SetString("HKCU\\K", "V", "x"); }));
  EXPECT_TRUE(changed([](MemoryRegistry& b) { b.CreateKey("HKCU\\K\\sub"); })) << "an empty key";
  EXPECT_TRUE(changed([](MemoryRegistry& b) { b.DenyAccess("HKCU\\K", true, false); })) << "an ACL";
  EXPECT_TRUE(changed([](MemoryRegistry& b) {
    b.DeleteTree("HKCU\\K");
    b.SetString("HKCU\\k", "v", "x");
  })) << "the letter case of a key name";
}

TEST(MemoryRegistryExport, RendersChineseReadablyAndOddBytesEscaped) {
  mem::FaultInjector faults;
  MemoryRegistry r(faults);
  r.SetString("HKCU\\软件", "名称", "数据");
  r.SetValue("HKCU\\软件", "raw", plat::kRegSz, std::string("\xFF\x01\"\\", 4));
  r.SetDword("HKCU\\软件", "", 0xabcd);
  r.SetValue("HKCU\\软件", "bin", plat::kRegBinary, "\x01\xAB");
  EXPECT_EQ(r.Export(),
            "[HKEY_LOCAL_MACHINE]\n"
            "[HKEY_CURRENT_USER]\n"
            "[HKEY_CURRENT_USER\\\xE8\xBD\xAF\xE4\xBB\xB6]\n"
            "\"\xE5\x90\x8D\xE7\xA7\xB0\"=sz:\"\xE6\x95\xB0\xE6\x8D\xAE\\0\"\n"
            "\"raw\"=sz:\"\\xFF\\x01\\\"\\\\\"\n"
            "@=dword:0000abcd\n"
            "\"bin\"=hex(3):01,ab\n");
}

}  // namespace
