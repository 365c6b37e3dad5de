// The entry point of every Windows test program. SetUp.exe finds its package
// beside itself and names itself in the picker's messages, so the tests must
// control the folder the program runs from: the program copies itself as
// SetUp.exe into a scratch folder of the prefix (C:\vmtests\<name>-<pid>\Vellmark,
// named like a product folder so that a package can be unpacked into the very
// folder it installs to), runs the copy with the same arguments, and removes the
// scratch folder when it is done.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/win/Sandbox.h"

namespace {

int RunFromScratchFolder() {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string program = self;
  const std::size_t slash = program.rfind('\\');
  const std::string name = program.substr(slash + 1, program.rfind('.') - slash - 1);
  const std::string folder = "C:\\vmtests\\" + name + "-" + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA("C:\\vmtests", nullptr);
  wt::RemoveAll(folder);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  const std::string home = folder + "\\Vellmark", copy = home + "\\SetUp.exe";
  ::CreateDirectoryA(home.c_str(), nullptr);
  if (!::CopyFileA(program.c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy the test program to %s (%lu)\n", copy.c_str(), ::GetLastError());
    return 2;
  }
  // The same arguments after the program's own name.
  std::string arguments = ::GetCommandLineA();
  const bool quoted = !arguments.empty() && arguments[0] == '"';
  const std::size_t end = quoted ? arguments.find('"', 1) : arguments.find(' ');
  arguments = end == std::string::npos ? "" : arguments.substr(end + 1);
  std::string commandLine = "\"" + copy + "\"" + (quoted ? "" : " ") + arguments;
  ::SetEnvironmentVariableA("VM_TEST_ORIGIN", program.substr(0, slash).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!::CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, home.c_str(), &startup,
                        &child)) {
    std::fprintf(stderr, "cannot start %s (%lu)\n", copy.c_str(), ::GetLastError());
    return 2;
  }
  ::WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 1;
  ::GetExitCodeProcess(child.hProcess, &code);
  ::CloseHandle(child.hProcess);
  ::CloseHandle(child.hThread);
  wt::RemoveAll(folder);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("VM_TEST_ORIGIN") == nullptr) return RunFromScratchFolder();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
