// The contract suite against the real volumes: a folder C:\vm-contract-<pid> on
// the prefix's drive C:, removed before (what a crashed run may have left) and
// after each test. The current directory is put back at the end.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Win32FileSystem.h"
#include "tests/platform/ContractFiles.h"

namespace contract {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  Handle(Handle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = INVALID_HANDLE_VALUE; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (valid()) ::CloseHandle(m_handle);
  }
  bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

std::wstring Wide(const std::string& ansi) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &out[0], n);
  return out;
}

// Wide calls with "\\?\", so that the long paths the tests make can go too.
void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((L"\\\\?\\" + path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      ::SetFileAttributesW((L"\\\\?\\" + child).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        ::DeleteFileW((L"\\\\?\\" + child).c_str());
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::SetFileAttributesW((L"\\\\?\\" + path).c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW((L"\\\\?\\" + path).c_str());
}

bool IsWineProcess() { return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Wine maps Z: to the host's root: the host's view of this very process tells its user.
bool RunsAsHostRoot() {
  Handle status(::CreateFileA("Z:\\proc\\self\\status", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!status.valid()) return false;
  char buffer[4096];
  DWORD read = 0;
  if (!::ReadFile(status.get(), buffer, sizeof buffer - 1, &read, nullptr)) return false;
  return std::string(buffer, read).find("\nUid:\t0\t") != std::string::npos;
}

class Win32FilesUnderTest : public FilesUnderTest {
 public:
  Win32FilesUnderTest() : m_root("C:\\vm-contract-" + std::to_string(::GetCurrentProcessId())) {
    wchar_t current[MAX_PATH * 2];
    const DWORD n = ::GetCurrentDirectoryW(MAX_PATH * 2, current);
    m_savedDirectory.assign(current, n < MAX_PATH * 2 ? n : 0);
    RemoveTree(Wide(m_root));
    if (!::CreateDirectoryA(m_root.c_str(), nullptr))
      m_error = "CreateDirectoryA(" + m_root + ") failed: " + std::to_string(::GetLastError());
    m_isWine = IsWineProcess();
    m_asRoot = m_isWine && RunsAsHostRoot();
  }

  ~Win32FilesUnderTest() override {
    ReleaseAll();
    if (!m_savedDirectory.empty()) ::SetCurrentDirectoryW(m_savedDirectory.c_str());
    RemoveTree(Wide(m_root));
  }

  plat::IFileSystem& Files() override { return m_files; }
  std::string SetupError() const override { return m_error; }
  std::string Root() const override { return m_root; }
  long OpenHandles() const override { return -1; }
  bool IsWine() const override { return m_isWine; }
  bool IsWineAsRoot() const override { return m_asRoot; }

  bool WriteFile(const std::string& path, const std::string& data) override {
    Handle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
  }

  std::string ReadFile(const std::string& path) override {
    Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr));
    if (!file.valid()) return "<unreadable>";
    std::string data;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) data.append(buffer, read);
    return data;
  }

  // GENERIC_READ shared for reading only: what a loaded module's image section allows.
  bool HoldOpen(const std::string& path) override {
    Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return false;
    m_held.push_back(std::move(file));
    return true;
  }

  void ReleaseAll() override { m_held.clear(); }
  bool ChangeDirectory(const std::string& path) override { return ::SetCurrentDirectoryA(path.c_str()) != FALSE; }
  std::string ProgramName() const override { return "filesystem_contract_win32.exe"; }

 private:
  std::string m_root;
  std::wstring m_savedDirectory;
  std::string m_error;
  bool m_isWine = false;
  bool m_asRoot = false;
  std::vector<Handle> m_held;
  w32::Win32FileSystem m_files;
};

}  // namespace

std::unique_ptr<FilesUnderTest> MakeFilesUnderTest() { return std::make_unique<Win32FilesUnderTest>(); }

}  // namespace contract
