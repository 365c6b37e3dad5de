// Waiting for something another process does: look, sleep a little, look again,
// until it holds or the time is up. Clicks are posted, so what they change shows
// up a moment later; the scripts never need to guess that moment.
#pragma once

#include <windows.h>

namespace drv {

template <typename Condition>
bool PollUntil(unsigned timeoutMs, Condition holds) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (holds()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(40);
  }
}

}  // namespace drv
