// The program's entry point and its process-wide objects.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/BuildConstants.h"
#include "app/DllSafety.h"
#include "app/WizardApp.h"
#include "app/uninstall/Uninstaller.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "text/CodePage.h"

namespace {

// The first of the program's constructors (priority 101, the earliest GCC leaves
// to programs; the objects below and those of the libraries come after it), so
// nothing they load can come from the downloads folder. The static imports are
// resolved before any code runs at all: those are KnownDLLs, which the loader
// never takes from the program's folder (tools/check-imports.sh keeps it so).
struct RestrictDllSearchAtLoad {
  RestrictDllSearchAtLoad() { RestrictDllSearchToSystemFolder(); }
};
RestrictDllSearchAtLoad restrictDllSearchAtLoad __attribute__((init_priority(101)));

plat::Platform& TheWin32Platform() {
  static w32::Win32Registry registry;
  static w32::Win32FileSystem files;
  static w32::Win32ProcessList processes;
  static w32::Win32Shell shell;
  static plat::Platform platform{registry, files, processes, shell};
  return platform;
}

}  // namespace

// Constructed in this order at load, destroyed in the reverse order at exit. The
// application object only keeps a reference to the discovery object until start-up.
extern CAcadSetup theAcadSetup;
CWizardApp theApp(TheWin32Platform(), theAcadSetup);
CAcadSetup theAcadSetup(TheWin32Platform(), kEditionBits);

namespace {

std::vector<std::u16string> Arguments() {
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::u16string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i) arguments.emplace_back(reinterpret_cast<char16_t*>(words[i]));
  ::LocalFree(words);
  return arguments;
}

}  // namespace

// SetUp.exe installs; its copy in the product folder, Uninstall.exe, is what Apps & Features starts, and hands over
// to another copy in the temporary folder, started with the removal switch.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  plat::Platform& platform = TheWin32Platform();
  const std::vector<std::u16string> arguments = Arguments();
  uninstall::CUninstaller uninstaller(platform, theAcadSetup, kEditionBits);
  if (arguments.size() == 3 && ansi::Narrow(arguments[0], nullptr) == uninstall::kRemoveSwitch) {
    bool lossy = false;
    const std::string folder = ansi::Narrow(arguments[2], &lossy);
    const unsigned long starter = std::wcstoul(reinterpret_cast<const wchar_t*>(arguments[1].c_str()), nullptr, 10);
    if (!lossy) uninstaller.RunRemoval(static_cast<std::uint32_t>(starter), folder);
    return 0;
  }
  if (uninstall::IsUninstaller(platform)) return uninstaller.RunFromProductFolder(), 0;
  return fw::RunApplication(theApp);
}
