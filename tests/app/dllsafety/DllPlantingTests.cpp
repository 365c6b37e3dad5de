// DLL planting: programs started from a folder the build fills with DLLs of ours named like system DLLs
// (each leaves "<name>.loaded" beside itself when loaded). Wine 8.0 loads most such names as its builtin
// even from there unless WINEDLLOVERRIDES says native first (ctest sets it; CMakeLists.txt: why not version.dll).
#include <windows.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string PlantedDllsMarkedSinceLastCall() {
  std::string loaded, name;
  for (std::istringstream names(VM_PLANTED_NAMES); names >> name;)
    if (DeleteFileA((VM_PLANTED_FOLDER + name + ".loaded").c_str())) loaded += (loaded.empty() ? "" : " ") + name;
  return loaded;
}

// Runs `program` of the planted folder to its end: the planted DLLs it loaded. Once its `dialog` shows, it has
// loaded what it loads at start: it is cancelled then.
std::string PlantedDllsLoadedBy(const std::string& program, const std::string& arguments,
                                const wchar_t* dialog = nullptr) {
  std::string commandLine = "\"" VM_PLANTED_FOLDER + program + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  PlantedDllsMarkedSinceLastCall();
  EXPECT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, VM_PLANTED_FOLDER, &startup,
                             &process));
  HWND window = nullptr;
  DWORD owner = 0;
  for (int k = 0; dialog && owner != process.dwProcessId && k < 300 && WaitForSingleObject(process.hProcess, 200); ++k)
    GetWindowThreadProcessId(window = FindWindowW(L"#32770", dialog), &owner);
  EXPECT_EQ(dialog != nullptr ? process.dwProcessId : 0, owner) << program << " showed no dialog";
  if (window != nullptr) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000)) << program << " did not end";
  TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return PlantedDllsMarkedSinceLastCall();
}

// The control: without the restriction every planted DLL is taken, so the empty lists below mean kept out.
TEST(DllPlanting, UnrestrictedProgramLoadsEveryPlantedDll) {
  EXPECT_EQ(VM_PLANTED_NAMES, PlantedDllsLoadedBy("vm_dll_probe.exe", VM_PLANTED_NAMES));
}

// Restricted, nothing is loaded from the folder by name, but comctl32, which the probe imports, came from there
// before any code ran: why SetUp.exe imports KnownDLLs only.
TEST(DllPlanting, RestrictionKeepsOutAllButStaticImports) {
  EXPECT_EQ("comctl32.dll", PlantedDllsLoadedBy("vm_dll_probe.exe", "--restrict " VM_PLANTED_NAMES));
}

TEST(DllPlanting, SetupLoadsNoPlantedDllUpToItsDialog) {
  EXPECT_EQ("", PlantedDllsLoadedBy("SetUp.exe", "", L"Vellmark-结构工具箱安装"));
}

}  // namespace
