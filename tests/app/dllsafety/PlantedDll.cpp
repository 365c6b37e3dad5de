// A DLL planted in a downloads folder under a system DLL's name: loaded, it leaves "<its own file>.loaded".
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  char mark[MAX_PATH + 8];
  if (reason == DLL_PROCESS_ATTACH && lstrcpyA(mark + GetModuleFileNameA(self, mark, MAX_PATH), ".loaded"))
    CloseHandle(CreateFileA(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return TRUE;
}

// What vm_dll_probe imports: Windows takes a DLL for comctl32 only if it exports that (Wine does anyway).
extern "C" __declspec(dllexport) void InitCommonControls() {}
