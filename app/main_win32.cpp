// The program's entry point and its process-wide objects.
#include <windows.h>

#include "app/BuildConstants.h"
#include "app/DllSafety.h"
#include "app/WizardApp.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32TextCodec.h"
#include "platform/win32/Win32WindowSystem.h"

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
  static w32::Win32WindowSystem windows;
  static w32::Win32FileSystem files;
  static w32::Win32ProcessList processes;
  static w32::Win32Shell shell;
  static w32::Win32TextCodec text;
  static plat::Platform platform{registry, windows, files, processes, shell, text};
  return platform;
}

}  // namespace

// Constructed in this order at load, destroyed in the reverse order at exit. The
// application object only keeps a reference to the discovery object until start-up.
extern CAcadSetup theAcadSetup;
CWizardApp theApp(TheWin32Platform(), theAcadSetup);
CAcadSetup theAcadSetup(TheWin32Platform(), kEditionBits);

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return fw::RunApplication(theApp); }
