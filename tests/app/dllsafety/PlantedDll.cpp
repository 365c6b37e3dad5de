// A DLL that stands for one planted in a downloads folder: whoever loads it, it
// leaves a mark beside itself, "<its own path>.loaded". The same DLL is copied
// under the names of system DLLs; it exports (as stubs that fail) what programs
// import from those, so the loader would accept it in their place.
#include <windows.h>

#include <string>

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : m_h(h) {}
  ~FileHandle() {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

 private:
  HANDLE m_h;
};

void LeaveMark(HINSTANCE self) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::string mark = std::string(path, length) + ".loaded";
  FileHandle file(CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
  return TRUE;
}

// The stubs behind PlantedDll.def: nothing here is meant to work.
extern "C" {
__declspec(dllexport) BOOL WINAPI PlantedInitCommonControlsEx(const void*) { return FALSE; }
__declspec(dllexport) void WINAPI PlantedInitCommonControls() {}
__declspec(dllexport) DWORD WINAPI PlantedGetFileVersionInfoSize(const char*, DWORD* handle) {
  if (handle != nullptr) *handle = 0;
  return 0;
}
__declspec(dllexport) BOOL WINAPI PlantedGetFileVersionInfo(const char*, DWORD, DWORD, void*) { return FALSE; }
__declspec(dllexport) BOOL WINAPI PlantedVerQueryValue(const void*, const char*, void**, UINT*) { return FALSE; }
__declspec(dllexport) HANDLE WINAPI PlantedOpenThemeData(HWND, const wchar_t*) { return nullptr; }
__declspec(dllexport) HRESULT WINAPI PlantedFailHResult() { return E_NOTIMPL; }
}
