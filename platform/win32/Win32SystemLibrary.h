// A DLL of the system folder, loaded at run time. SetUp.exe imports KnownDLLs
// only (the loader resolves any other import from the program's folder first,
// before any of our code runs); the rest it needs comes through this class.
#pragma once

#include <windows.h>

namespace w32 {

class SystemLibrary {
 public:
  // Loads `name` ("comctl32.dll") from the system folder and nowhere else; a
  // library of that name elsewhere on the search path is never looked at.
  explicit SystemLibrary(const char* name);
  ~SystemLibrary();
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool IsLoaded() const { return m_module != nullptr; }
  HMODULE Module() const { return m_module; }
  // The export `procName` as a function of type F; null when the library did not
  // load or has no such export.
  template <class F>
  F Proc(const char* procName) const {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(FindProc(procName)));
  }

 private:
  FARPROC FindProc(const char* procName) const;

  HMODULE m_module;
};

}  // namespace w32
