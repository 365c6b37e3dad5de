// The contract suite against the real registry. HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER are redirected with RegOverridePredefKey into scratch keys
// below the real HKCU\Software\VellmarkContractTests\<pid>, removed before and
// after each test, so a run never touches the prefix's real hives.
#include <windows.h>

#include "platform/win32/Win32Registry.h"
#include "tests/platform/ContractRegistry.h"

namespace contract {
namespace {

class Win32UnderTest : public RegistryUnderTest {
 public:
  Win32UnderTest() : m_scratch("Software\\VellmarkContractTests\\" + std::to_string(GetCurrentProcessId())) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_scratch.c_str());  // what a crashed run may have left
    m_error = Redirect(HKEY_LOCAL_MACHINE, "\\HKLM");
    if (m_error.empty()) m_error = Redirect(HKEY_CURRENT_USER, "\\HKCU");
  }

  ~Win32UnderTest() override {
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_scratch.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VellmarkContractTests");  // stays while other runs use it
  }

  plat::IRegistry& Registry() override { return m_registry; }
  std::string SetupError() const override { return m_error; }
  long OpenHandles() const override { return -1; }
  bool IsWine() const override { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

 private:
  // Opens the scratch key from the real HKCU (not yet overridden) and makes
  // `predefined` stand for it; the override keeps its own duplicate of the handle.
  std::string Redirect(HKEY predefined, const char* suffix) {
    HKEY scratch = nullptr;
    const std::string path = m_scratch + suffix;
    LONG rc =
        ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch, nullptr);
    if (rc != ERROR_SUCCESS) return "RegCreateKeyExA(" + path + ") failed: " + std::to_string(rc);
    rc = ::RegOverridePredefKey(predefined, scratch);
    ::RegCloseKey(scratch);
    if (rc != ERROR_SUCCESS) return "RegOverridePredefKey(" + path + ") failed: " + std::to_string(rc);
    return {};
  }

  std::string m_scratch;
  std::string m_error;
  w32::Win32Registry m_registry;
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() { return std::make_unique<Win32UnderTest>(); }

}  // namespace contract
