#include "bench/win/BenchCommon.h"

#include <algorithm>

namespace bench {

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

std::string ProgramFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, n);
  const std::size_t slash = text.rfind('\\');
  return slash == std::string::npos ? std::string(".") : text.substr(0, slash);
}

namespace {

template <typename Visit>
bool ForEachFile(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  ScopedFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
  if (!find.valid()) return false;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!visit(entry)) return false;
  } while (FindNextFileA(find.get(), &entry));
  return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  ForEachFile(folder, [&](const WIN32_FIND_DATAA& e) {
    names.emplace_back(e.cFileName);
    return true;
  });
  return names;
}

bool ClearFolder(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  bool ok = true;
  for (const std::string& name : ListFiles(folder)) {
    const std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) ok = false;
  }
  return ok && GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int CopyLoop(const std::string& source, const std::string& target) {
  int copied = 0;
  const bool ok = ForEachFile(source, [&](const WIN32_FIND_DATAA& e) {
    const std::string from = source + "\\" + e.cFileName;
    const std::string to = target + "\\" + e.cFileName;
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return false;
    ++copied;
    return true;
  });
  return ok ? copied : -1;
}

unsigned long long FolderBytes(const std::string& folder) {
  unsigned long long total = 0;
  ForEachFile(folder, [&](const WIN32_FIND_DATAA& e) {
    total += (static_cast<unsigned long long>(e.nFileSizeHigh) << 32) | e.nFileSizeLow;
    return true;
  });
  return total;
}

bool Child::Start(const std::string& program) {
  std::string folder = program.substr(0, program.rfind('\\'));
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info) != FALSE;
}

Child::~Child() {
  if (info.hProcess != nullptr) {
    if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
  }
  if (info.hThread != nullptr) CloseHandle(info.hThread);
}

bool Child::WaitEnd(DWORD ms) { return WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }

HWND FindShownWindow(DWORD pid, const wchar_t* caption) {
  for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, caption); w != nullptr;
       w = FindWindowExW(nullptr, w, nullptr, caption)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

}  // namespace bench
