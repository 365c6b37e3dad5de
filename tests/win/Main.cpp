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

int RunFromScratchFolder(int argc, char** argv) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string program = self;
  const std::size_t slash = program.rfind('\\');
  const std::string name = program.substr(slash + 1, program.rfind('.') - slash - 1);
  const std::string folder = "C:\\vmtests\\" + name + "-" + std::to_string(::GetCurrentProcessId());
  const std::string home = folder + "\\Vellmark", copy = home + "\\SetUp.exe";
  wt::RemoveAll(folder);
  wt::Sandbox::Write(copy, "");  // makes the folders
  if (!::CopyFileA(program.c_str(), copy.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy the test program to %s (%lu)\n", copy.c_str(), ::GetLastError());
    return 2;
  }
  std::string commandLine = "\"" + copy + "\"";
  for (int k = 1; k < argc; ++k) commandLine += std::string(" \"") + argv[k] + "\"";
  ::SetEnvironmentVariableA("VM_TEST_ORIGIN", program.substr(0, slash).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  DWORD code = 2;
  if (::CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, home.c_str(), &startup,
                       &child)) {
    ::WaitForSingleObject(child.hProcess, INFINITE);
    ::GetExitCodeProcess(child.hProcess, &code);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(child.hThread);
  } else {
    std::fprintf(stderr, "cannot start %s (%lu)\n", copy.c_str(), ::GetLastError());
  }
  wt::RemoveAll(folder);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("VM_TEST_ORIGIN") == nullptr) return RunFromScratchFolder(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
