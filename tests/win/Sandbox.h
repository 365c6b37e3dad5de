// A private part of the machine for one test: HKLM and HKCU redirected into scratch keys (RegOverridePredefKey),
// and the program's own folder (see vm_add_win_test) emptied before and after. Content is seeded with the wide
// calls, so text outside code page 936 reaches the program the way Windows hands it over.
#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace wt {

// The i686 test programs run under WOW64: their HKLM\SOFTWARE is Wow6432Node.
constexpr bool kWow64 = sizeof(void*) == 4;

std::wstring Wide(const std::string& ansi);  // from the ANSI code page (936)
std::string Ansi(const std::wstring& text);  // to it; '?' for what it lacks
std::string Utf8(const std::wstring& text);  // for failure messages
// The program's UTF-16 texts are char16_t, Windows' wchar_t: the same units.
inline std::u16string U16(const std::wstring& text) { return {text.begin(), text.end()}; }
// Removes a file, or a folder with everything below it, read-only or not.
void RemoveAll(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY);

// The lines of a dump for which `drop` does not hold.
template <class Drop>
std::string Without(const std::string& dump, Drop drop) {
  std::string out;
  for (std::size_t begin = 0, end; begin < dump.size(); begin = end + 1) {
    end = std::min(dump.find('\n', begin), dump.size());
    const std::string line = dump.substr(begin, end - begin);
    if (!drop(line)) out += line + "\n";
  }
  return out;
}
// The installer upper-cases every trusted folder it keeps: a dump with its TRUSTEDPATHS lines upper-cased, to compare
// the lists letter case aside.
std::string TrustedListsUpper(std::string dump);

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The folder the program runs from, and a path below it.
  static std::string Folder();
  static std::string Path(const std::string& below) { return Folder() + "\\" + below; }

  // Registry content in the program's own view (KEY_WOW64_64KEY: the 64-bit one).
  void Set(HKEY hive, const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ,
           REGSAM view = 0);
  void AddKey(HKEY hive, const std::wstring& key);
  // An AutoCAD installation key below HKEY_LOCAL_MACHINE, with its folder made.
  void AddAcad(const std::wstring& key, const std::string& folder, const std::wstring& productName);
  std::optional<std::wstring> Get(HKEY hive, const std::wstring& key, const std::wstring& name,
                                  DWORD* type = nullptr) const;
  // A line per key and value of `key` and below, in UTF-8 ("" when it is missing).
  std::string Dump(HKEY hive, const std::wstring& key) const;
  // The same for both scratch hives as stored, past any redirection.
  std::string DumpRegistry() const;

  // Files, with ANSI paths; parent folders are made as needed.
  static void Write(const std::string& path, const std::string& content, DWORD attributes = 0);
  static std::optional<std::string> Read(const std::string& path);
  // A line per folder and file below the program's folder, with attributes and content ("= SetUp.exe": the
  // program's).
  static std::string DumpFiles();

  // A process named `exeName` (a copy of vm_sleeper) until the sandbox goes.
  void Run(const std::string& exeName);

 private:
  std::wstring m_scratch;
  HKEY m_root = nullptr;  // the scratch keys, opened before the redirection
  std::vector<HANDLE> m_processes;
};

}  // namespace wt
