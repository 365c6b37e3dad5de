#include "tests/win/Sandbox.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace wt {
namespace {

std::string Narrow(UINT codePage, const std::wstring& text) {
  std::string out(text.size() * 4, '\0');
  out.resize(::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

HKEY Open(HKEY parent, const std::wstring& key, REGSAM access) {
  HKEY handle = nullptr;
  return ::RegOpenKeyExW(parent, key.c_str(), 0, access, &handle) == ERROR_SUCCESS ? handle : nullptr;
}

HKEY Create(HKEY hive, const std::wstring& key, REGSAM view) {
  // Below a redirected HKLM, Wine 8 creates a 32-bit program's explicit "SOFTWARE\Wow6432Node\..." one level
  // deeper (Wow6432Node\Wow6432Node), though opening that path finds the right key; Windows creates it where the
  // path says. Past the redirection, it lands there here too.
  if (key.find(L"Wow6432Node") != std::wstring::npos) view |= KEY_WOW64_64KEY;
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(hive, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    std::fprintf(stderr, "sandbox: cannot create %s\n", Utf8(key).c_str());
  return handle;
}

std::string Describe(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_DWORD && data.size() == 4)
    return "dword:" + std::to_string(*reinterpret_cast<const DWORD*>(data.data()));
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  // A string must be stored with its terminator (RegSetValueEx): one stored without is shown as such.
  const bool terminated = !text.empty() && text.back() == L'\0';
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return (type == REG_SZ ? "sz:" : "type" + std::to_string(type) + ":") + Utf8(text) +
         (terminated ? "" : "<unterminated>");
}

// One line per key and value below `key`, the keys read past any redirection.
void DumpKey(HKEY key, const std::string& path, std::string& out) {
  out += path + "\n";
  wchar_t name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 16384, type = 0, size = 0;
    if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size);
    nameLength = 16384;
    ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
    out += path + " \"" + Utf8(name) + "\"=" + Describe(type, data) + "\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 16384;
    if (::RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (const HKEY sub = Open(key, name, KEY_READ | KEY_WOW64_64KEY)) {
      DumpKey(sub, path + "\\" + Utf8(name), out);
      ::RegCloseKey(sub);
    }
  }
}

// Calls `visit` with each entry of `folder` but "." and "..".
template <class Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") visit(name, folder + "\\" + name, entry.dwFileAttributes);
  } while (::FindNextFileA(find, &entry));
  ::FindClose(find);
}

// Everything below `folder` but the running program.
void Empty(const std::string& folder) {
  ForEachEntry(folder, [](const std::string& name, const std::string& path, DWORD attributes) {
    if (name != "SetUp.exe") RemoveAll(path, attributes);
  });
}

// A file's content on its line: line breaks and NULs (a UTF-16 file's) written out.
std::string OneLine(const std::string& content) {
  std::string out;
  for (char c : content)
    out += c == '\n' ? std::string("\\n") : c == '\r' ? "\\r" : c == '\0' ? "\\0" : std::string(1, c);
  return out;
}

void DumpFolder(const std::string& folder, const std::string& relative, std::string& out) {
  ForEachEntry(folder, [&](const std::string& name, const std::string& path, DWORD a) {
    if (relative.empty() && name == "SetUp.exe") return;
    const std::string flags =
        std::string(a & FILE_ATTRIBUTE_READONLY ? "R" : "") + (a & FILE_ATTRIBUTE_HIDDEN ? "H" : "");
    if (a & FILE_ATTRIBUTE_DIRECTORY) {
      out += relative + name + "\\ " + flags + "\n";
      DumpFolder(path, relative + name + "\\", out);
    } else {
      // A copy of the running program (the uninstaller) by name: it is megabytes, and changes with every build.
      static const std::string program = Sandbox::Read(_pgmptr).value_or("");
      const std::string content = Sandbox::Read(path).value_or("?");
      out += relative + name + " " + flags + " " + (content == program ? "= SetUp.exe" : OneLine(content)) + "\n";
    }
  });
}

}  // namespace

std::wstring Wide(const std::string& ansi) {
  std::wstring out(ansi.size(), L'\0');
  out.resize(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(),
                                   static_cast<int>(out.size())));
  return out;
}
std::string TrustedListsUpper(std::string dump) {
  for (std::size_t at = dump.find("\"TRUSTEDPATHS\"="); at != std::string::npos;
       at = dump.find("\"TRUSTEDPATHS\"=", at + 1))
    for (std::size_t i = at; i < dump.size() && dump[i] != '\n'; ++i)
      dump[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(dump[i])));
  return dump;
}

std::string Ansi(const std::wstring& text) { return Narrow(CP_ACP, text); }
std::string Utf8(const std::wstring& text) { return Narrow(CP_UTF8, text); }

void RemoveAll(const std::string& path, DWORD attributes) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return (void)::DeleteFileA(path.c_str());
  ForEachEntry(path, [](const std::string&, const std::string& below, DWORD a) { RemoveAll(below, a); });
  ::RemoveDirectoryA(path.c_str());
}

Sandbox::Sandbox() : m_scratch(L"Software\\VellmarkTests\\" + std::to_wstring(::GetCurrentProcessId())) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, m_scratch.c_str());  // what a crashed run left
  const HKEY hklm = Create(HKEY_CURRENT_USER, m_scratch + L"\\HKLM", 0);
  const HKEY hkcu = Create(HKEY_CURRENT_USER, m_scratch + L"\\HKCU", 0);
  m_root = Open(HKEY_CURRENT_USER, m_scratch, KEY_READ | KEY_WOW64_64KEY);
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, hklm);  // each keeps a handle of its own
  ::RegOverridePredefKey(HKEY_CURRENT_USER, hkcu);
  ::RegCloseKey(hklm);
  ::RegCloseKey(hkcu);
  // Every 64-bit Windows has it. Under Wine it also makes a 32-bit program see the scratch machine as on 64-bit
  // Windows: Wine redirects it below any key with a Wow6432Node subkey, Windows only below the real HKLM\SOFTWARE.
  ::RegCloseKey(Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", KEY_WOW64_64KEY));
  Empty(Folder());
}

Sandbox::~Sandbox() {
  for (HANDLE process : m_processes) {
    ::TerminateProcess(process, 0);
    ::WaitForSingleObject(process, 30000);
    ::CloseHandle(process);
  }
  ::RegCloseKey(m_root);
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, m_scratch.c_str());
  Empty(Folder());
}

std::string Sandbox::Folder() {
  const std::string program = _pgmptr;
  return program.substr(0, program.rfind('\\'));
}

void Sandbox::Set(HKEY hive, const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type,
                  REGSAM view) {
  const HKEY handle = Create(hive, key, view);
  ::RegSetValueExW(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
}

void Sandbox::AddKey(HKEY hive, const std::wstring& key) { ::RegCloseKey(Create(hive, key, 0)); }

void Sandbox::AddAcad(const std::wstring& key, const std::string& folder, const std::wstring& productName) {
  Set(HKEY_LOCAL_MACHINE, key, L"AcadLocation", Wide(folder));
  Set(HKEY_LOCAL_MACHINE, key, L"ProductName", productName);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::CreateDirectoryA((folder + "\\Fonts").c_str(), nullptr);
  ::CreateDirectoryA((folder + "\\Drv").c_str(), nullptr);
}

std::optional<std::wstring> Sandbox::Get(HKEY hive, const std::wstring& key, const std::wstring& name,
                                         DWORD* type) const {
  DWORD size = 0;
  if (::RegGetValueW(hive, key.c_str(), name.c_str(), RRF_RT_ANY, type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  ::RegGetValueW(hive, key.c_str(), name.c_str(), RRF_RT_ANY, type, data.data(), &size);
  return data.substr(0, data.find(L'\0'));
}

std::string Sandbox::Dump(HKEY hive, const std::wstring& key) const {
  std::string out;
  if (const HKEY handle = Open(hive, key, KEY_READ)) DumpKey(handle, "", out), ::RegCloseKey(handle);
  return out;
}

std::string Sandbox::DumpRegistry() const { return Dump(m_root, L""); }

void Sandbox::Write(const std::string& path, const std::string& content, DWORD attributes) {
  for (std::size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
    ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream(path, std::ios::binary) << content;
  if (attributes != 0) ::SetFileAttributesA(path.c_str(), attributes);
}

std::optional<std::string> Sandbox::Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string Sandbox::DumpFiles() {
  std::string out;
  DumpFolder(Folder(), "", out);
  return out;
}

void Sandbox::Run(const std::string& exeName) {
  std::string sleeper = "Z:" VM_SLEEPER;  // where it is built: Wine's Z: is the root
  std::replace(sleeper.begin(), sleeper.end(), '/', '\\');
  const std::string copy = Path("running\\" + exeName);
  Write(copy, "");
  ::CopyFileA(sleeper.c_str(), copy.c_str(), FALSE);
  std::string commandLine = "\"" + copy + "\" 120";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // Detached, and a window program: no console, so no conhost of Wine's to outlive it (see tests/win/sleeper).
  if (!::CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                        &startup, &started)) {
    std::fprintf(stderr, "sandbox: cannot start %s (%lu)\n", copy.c_str(), ::GetLastError());
    return;
  }
  ::CloseHandle(started.hThread);
  m_processes.push_back(started.hProcess);
}

}  // namespace wt
