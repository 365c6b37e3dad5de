// DLL planting: SetUp.exe copied into a folder beside DLLs of ours named like
// system DLLs (each leaves "<name>.loaded" beside itself when loaded) must load
// none of them, while the control programs, which do not narrow the search or
// import such a DLL, do load them: the planted DLLs would be picked up.
//
// Wine (8.0) and its DLL load order: by default, a DLL in the program's folder
// whose name Wine has a builtin for is mostly NOT loaded from there. version,
// uxtheme, comctl32, winmm and msimg32 load as Wine's builtin (the module then
// bears the program folder's path as its file name, though the code is Wine's);
// dwmapi, userenv and cryptbase (Wine has none) are loaded from the program's
// folder as on Windows. The test therefore runs with WINEDLLOVERRIDES (set by
// ctest: Wine takes it from the Unix environment at a process's start, a
// variable set by a Windows parent has no effect) making comctl32, uxtheme,
// winmm and msimg32 native-first, the Windows order. Not version: Wine's own
// user32 imports version.dll, so native-first it would be taken from the folder
// while user32 is being loaded, before any code of the program; on Windows
// user32 is a KnownDLL and its imports never come from the program's folder.
// version.dll is therefore not planted here.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kPlantedNames = {"comctl32.dll", "uxtheme.dll",   "dwmapi.dll", "userenv.dll",
                                                "winmm.dll",    "cryptbase.dll", "msimg32.dll"};
constexpr char kSetupCaption[] = "Vellmark-结构工具箱安装";
constexpr DWORD kDialogTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 30000;

// The build's file names are Unix paths; Wine's drive Z: is the Unix root.
std::string WinePath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : m_h(h) {}
  ~Handle() {
    if (m_h != nullptr && m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return m_h; }
  bool valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_h;
};

class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : m_h(h) {}
  ~FindHandle() {
    if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return m_h; }

 private:
  HANDLE m_h;
};

// A fresh folder with the planted DLLs in it, removed with all it holds.
class PlantedFolder {
 public:
  PlantedFolder() {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    m_path = std::string(temp, length) + "vm-planting-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(GetTickCount());
    m_created = CreateDirectoryA(m_path.c_str(), nullptr) != FALSE;
    for (const std::string& name : kPlantedNames) CopyFileA(WinePath(VM_PLANTED_DLL).c_str(), File(name).c_str(), TRUE);
  }
  ~PlantedFolder() {
    for (const std::string& name : Files()) DeleteFileA(File(name).c_str());
    RemoveDirectoryA(m_path.c_str());
  }
  PlantedFolder(const PlantedFolder&) = delete;
  PlantedFolder& operator=(const PlantedFolder&) = delete;

  bool Ready() const {
    if (!m_created) return false;
    for (const std::string& name : kPlantedNames)
      if (!FileExists(File(name))) return false;
    return true;
  }
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }
  std::string AddProgram(const char* unixPath, const std::string& name) const {
    CopyFileA(WinePath(unixPath).c_str(), File(name).c_str(), FALSE);
    return File(name);
  }
  // The planted names whose DLL left its mark.
  std::vector<std::string> Marked() const {
    std::vector<std::string> marked;
    for (const std::string& name : kPlantedNames)
      if (FileExists(File(name + ".loaded"))) marked.push_back(name);
    return marked;
  }

 private:
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(File("*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) return names;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
    return names;
  }

  std::string m_path;
  bool m_created = false;
};

class Process {
 public:
  // Starts `exe` with `arguments` in `folder`; Started() says whether it did.
  Process(const std::string& exe, const std::string& arguments, const std::string& folder) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                       &info)) {
      m_process = info.hProcess;
      m_id = info.dwProcessId;
      CloseHandle(info.hThread);
    }
  }
  ~Process() {
    if (m_process != nullptr) {
      if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) TerminateProcess(m_process, 99);
      WaitForSingleObject(m_process, kExitTimeoutMs);
      CloseHandle(m_process);
    }
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return m_process != nullptr; }
  HANDLE Get() const { return m_process; }
  DWORD Id() const { return m_id; }
  // The exit code, or STILL_ACTIVE when the process did not end within `ms`.
  DWORD Wait(DWORD ms) const {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(m_process, &code);
    return code;
  }

 private:
  HANDLE m_process = nullptr;
  DWORD m_id = 0;
};

struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && IsWindowVisible(window) && std::string(className) == "#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible dialog of process `processId`, waiting for it up to `ms`.
HWND WaitForDialog(const Process& process, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    DialogSearch search{process.Id(), nullptr};
    EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (process.Wait(200) != STILL_ACTIVE) return nullptr;
  } while (GetTickCount() - start < ms);
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[256] = "";
  const int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

struct LoadedModule {
  std::string file;  // lower case
  bool wineBuiltin;
};

// Wine's builtin DLLs carry this text after their DOS header; a builtin loaded in
// place of a file in the program's folder bears that file's name.
bool IsWineBuiltin(HANDLE process, const BYTE* base) {
  static const char kSignature[] = "Wine builtin DLL";
  char text[sizeof kSignature] = "";
  SIZE_T read = 0;
  return ReadProcessMemory(process, base + 0x40, text, sizeof text, &read) && read == sizeof text &&
         std::string(text, sizeof text - 1) == kSignature;
}

// The modules loaded in process `process`.
std::vector<LoadedModule> LoadedModules(HANDLE process, DWORD processId) {
  std::vector<LoadedModule> modules;
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
  if (!snapshot.valid()) return modules;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32First(snapshot.get(), &entry); more; more = Module32Next(snapshot.get(), &entry))
    modules.push_back(LoadedModule{Lower(entry.szExePath), IsWineBuiltin(process, entry.modBaseAddr)});
  return modules;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return Lower(std::string(folder, length < MAX_PATH ? length : 0));
}

std::string Joined(const std::vector<std::string>& names) {
  std::string all;
  for (const std::string& name : names) all += (all.empty() ? "" : ", ") + name;
  return all;
}

std::string PlantedArguments() {
  std::string arguments;
  for (const std::string& name : kPlantedNames) arguments += name + " ";
  return arguments;
}

class DllPlantingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_folder.Ready()) << "could not plant the DLLs in " << m_folder.Path(); }

  PlantedFolder m_folder;
};

// The control: a program that loads DLLs by name without narrowing the search
// gets every planted one, so a missing mark below means the DLL was kept out.
TEST_F(DllPlantingTest, UnrestrictedProgramLoadsEveryPlantedDll) {
  const std::string probe = m_folder.AddProgram(VM_DLL_PROBE_EXE, "probe.exe");
  Process process(probe, PlantedArguments(), m_folder.Path());
  ASSERT_TRUE(process.Started());
  EXPECT_EQ(0u, process.Wait(kExitTimeoutMs)) << "a planted DLL did not load";
  EXPECT_EQ(Joined(kPlantedNames), Joined(m_folder.Marked()));
}

// A static import is resolved before any code runs, restriction or not: a
// program importing comctl32 (as SetUp.exe once did) gets the planted one. This
// is why SetUp.exe may import KnownDLLs only.
TEST_F(DllPlantingTest, StaticImportIsTakenFromTheProgramsFolder) {
  const std::string probe = m_folder.AddProgram(VM_STATIC_IMPORT_PROBE_EXE, "static.exe");
  Process process(probe, "", m_folder.Path());
  ASSERT_TRUE(process.Started());
  EXPECT_EQ(0u, process.Wait(kExitTimeoutMs));
  EXPECT_EQ("comctl32.dll", Joined(m_folder.Marked()));
}

// SetUp.exe's restriction in the same program: none planted, the system's own
// found instead (Wine has no cryptbase.dll, so that one alone fails to load).
TEST_F(DllPlantingTest, RestrictedProgramLoadsNoPlantedDll) {
  const std::string probe = m_folder.AddProgram(VM_DLL_PROBE_EXE, "probe.exe");
  {
    Process process(probe, "--restrict " + PlantedArguments(), m_folder.Path());
    ASSERT_TRUE(process.Started());
    EXPECT_NE(2u, process.Wait(kExitTimeoutMs)) << "the restriction did not take";
  }
  EXPECT_EQ("", Joined(m_folder.Marked()));
  Process process(probe, "--restrict comctl32.dll uxtheme.dll dwmapi.dll userenv.dll", m_folder.Path());
  ASSERT_TRUE(process.Started());
  EXPECT_EQ(0u, process.Wait(kExitTimeoutMs)) << "the system's own DLLs did not load";
  EXPECT_EQ("", Joined(m_folder.Marked()));
}

// SetUp.exe started from the planted folder shows its dialog with nothing of the
// folder loaded but itself, comctl32 taken from the system folder, and ends on
// Cancel without any planted DLL having been loaded on the way.
TEST_F(DllPlantingTest, SetupLoadsNothingFromItsFolder) {
  const std::string setup = m_folder.AddProgram(VM_SETUP_EXE, "SetUp.exe");
  Process process(setup, "", m_folder.Path());
  ASSERT_TRUE(process.Started());
  HWND dialog = WaitForDialog(process, kDialogTimeoutMs);
  ASSERT_NE(nullptr, dialog) << "SetUp.exe showed no dialog";
  EXPECT_EQ(kSetupCaption, WindowText(dialog));

  const std::string folder = Lower(m_folder.Path()) + "\\";
  const std::string system = SystemFolder() + "\\";
  bool comctl32FromSystem = false;
  const std::vector<LoadedModule> modules = LoadedModules(process.Get(), process.Id());
  EXPECT_FALSE(modules.empty()) << "no module list of SetUp.exe";
  for (const LoadedModule& module : modules) {
    if (module.file.compare(0, folder.size(), folder) == 0 && !module.wineBuiltin) {
      EXPECT_EQ(Lower(setup), module.file) << "loaded from the program's folder";
    }
    if (module.file == system + "comctl32.dll") comctl32FromSystem = true;
  }
  EXPECT_TRUE(comctl32FromSystem) << "comctl32.dll is not loaded from " << system;

  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_NE(STILL_ACTIVE, process.Wait(kExitTimeoutMs)) << "SetUp.exe did not end on Cancel";
  EXPECT_EQ("", Joined(m_folder.Marked()));
}

}  // namespace
