// The contract suite's fixture for the real process list: a started program is
// a copy of vm_sleeper (built beside this test) under the name asked for, in a
// folder C:\vm-procs-<pid> removed before and after. Ending one terminates it,
// waits for it and closes its handle: Wine keeps a process in the list while
// anybody holds a handle to it.
#include <windows.h>

#include <map>
#include <string>

#include "platform/win32/Win32ProcessList.h"
#include "tests/platform/ProcessListContract.h"

namespace contract {
namespace {

constexpr DWORD kEndTimeoutMs = 30000;

class ProcessHandle {
 public:
  explicit ProcessHandle(HANDLE process) : m_process(process) {}
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  ~ProcessHandle() {
    if (!m_process) return;
    ::TerminateProcess(m_process, 1);
    ::WaitForSingleObject(m_process, kEndTimeoutMs);
    ::CloseHandle(m_process);
  }
  // Terminated and gone: true when it ended within the time allowed.
  bool End() {
    const bool ended =
        ::TerminateProcess(m_process, 0) && ::WaitForSingleObject(m_process, kEndTimeoutMs) == WAIT_OBJECT_0;
    ::CloseHandle(m_process);
    m_process = nullptr;
    return ended;
  }

 private:
  HANDLE m_process;
};

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA((folder + "\\" + data.cFileName).c_str());
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

class Win32ProcessesUnderTest : public ProcessesUnderTest {
 public:
  Win32ProcessesUnderTest() : m_folder("C:\\vm-procs-" + std::to_string(::GetCurrentProcessId())) {
    char self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    m_sleeper = FolderOf(std::string(self, n < MAX_PATH ? n : 0)) + "\\vm_sleeper.exe";
    RemoveFolder(m_folder);
    if (::GetFileAttributesA(m_sleeper.c_str()) == INVALID_FILE_ATTRIBUTES)
      m_error = "no " + m_sleeper;
    else if (!::CreateDirectoryA(m_folder.c_str(), nullptr))
      m_error = "CreateDirectoryA(" + m_folder + ") failed: " + std::to_string(::GetLastError());
  }

  ~Win32ProcessesUnderTest() override {
    m_running.clear();  // terminates whatever a failed test left running
    RemoveFolder(m_folder);
  }

  plat::IProcessList& List() override { return m_list; }
  std::string SetupError() const override { return m_error; }
  long OpenHandles() const override { return -1; }

  std::uint32_t Start(const std::string& exeName) override {
    const std::string path = m_folder + "\\" + exeName;
    if (!::CopyFileA(m_sleeper.c_str(), path.c_str(), FALSE)) return 0;
    std::string commandLine = "\"" + path + "\" 120";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                          &startup, &info))
      return 0;
    ::CloseHandle(info.hThread);
    m_running.emplace(std::piecewise_construct, std::forward_as_tuple(info.dwProcessId),
                      std::forward_as_tuple(info.hProcess));
    return info.dwProcessId;
  }

  bool End(std::uint32_t processId) override {
    const auto it = m_running.find(processId);
    if (it == m_running.end()) return false;
    const bool ended = it->second.End();
    m_running.erase(it);
    return ended;
  }

 private:
  std::string m_folder;
  std::string m_sleeper;
  std::string m_error;
  std::map<std::uint32_t, ProcessHandle> m_running;
  w32::Win32ProcessList m_list;
};

}  // namespace

std::unique_ptr<ProcessesUnderTest> MakeProcessesUnderTest() { return std::make_unique<Win32ProcessesUnderTest>(); }

}  // namespace contract
