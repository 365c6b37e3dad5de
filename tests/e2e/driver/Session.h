// What the driver holds between verbs of one run: the windows it is looking at
// (a message box stacks on the window it came from) and the program's process.
#pragma once

#include <windows.h>

#include <vector>

namespace drv {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : m_h(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      m_h = other.m_h;
      other.m_h = nullptr;
    }
    return *this;
  }
  ~UniqueHandle() { Reset(); }
  HANDLE get() const { return m_h; }
  void Reset() {
    if (m_h != nullptr) CloseHandle(m_h);
    m_h = nullptr;
  }

 private:
  HANDLE m_h = nullptr;
};

struct Session {
  unsigned timeoutMs = 10000;
  std::vector<HWND> windows;  // back(): the current window
  UniqueHandle process;       // of the first window, opened when it was found

  HWND current() const { return windows.empty() ? nullptr : windows.back(); }
};

}  // namespace drv
