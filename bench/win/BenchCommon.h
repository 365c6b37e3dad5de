// Small Win32 helpers shared by the Windows benchmarks: a clock, medians, scoped
// handles, folder listing and clearing, and the plain CopyFileA loop that the
// copier and the whole installation are measured against.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// Milliseconds on the performance counter.
double NowMs();
double Median(std::vector<double> values);

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h = nullptr) : m_h(h) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (m_h != nullptr && m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
  }
  HANDLE get() const { return m_h; }

 private:
  HANDLE m_h;
};

class ScopedFindHandle {
 public:
  explicit ScopedFindHandle(HANDLE h) : m_h(h) {}
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;
  ~ScopedFindHandle() {
    if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h);
  }
  bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_h; }

 private:
  HANDLE m_h;
};

// The folder of this program, without a trailing backslash.
std::string ProgramFolder();

// Names of the files (not folders) directly in `folder`.
std::vector<std::string> ListFiles(const std::string& folder);

// Deletes every file directly in `folder` (read-only ones too); creates the
// folder when it is missing. False when a file would not go.
bool ClearFolder(const std::string& folder);

// The baseline: every file directly in `source` copied with CopyFileA into
// `target`. Returns the number copied, -1 when one failed.
int CopyLoop(const std::string& source, const std::string& target);

// Total bytes of the files directly in `folder`.
unsigned long long FolderBytes(const std::string& folder);

// A child process started from its own folder; false when it would not start.
struct Child {
  PROCESS_INFORMATION info{};
  bool Start(const std::string& program);
  ~Child();
  // Waits up to `ms` for the end; true when it ended.
  bool WaitEnd(DWORD ms);
};

// The visible top-level window of process `pid` with caption `caption`, or null.
HWND FindShownWindow(DWORD pid, const wchar_t* caption);

}  // namespace bench
