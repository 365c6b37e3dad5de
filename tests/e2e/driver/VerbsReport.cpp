// Verbs that only tell: where the window is, what it holds, what is on screen.
#include <string>

#include "tests/e2e/driver/Console.h"
#include "tests/e2e/driver/Remote.h"
#include "tests/e2e/driver/Verbs.h"

namespace drv {
namespace {

struct DumpTarget {
  HWND parent;
  bool toErr;
};

void Print(bool toErr, const std::wstring& line) {
  if (toErr)
    PrintErr(line);
  else
    PrintOut(line);
}

BOOL CALLBACK DumpChild(HWND child, LPARAM param) {
  const auto* target = reinterpret_cast<const DumpTarget*>(param);
  if (GetParent(child) != target->parent) return TRUE;  // controls of a control
  // IDC_STATIC (-1) comes back as -1, which would read as the caption.
  const int id = GetDlgCtrlID(child) & 0xFFFF;
  Print(target->toErr, L"  " + DescribeControl(id, ReadWindow(child, false)));
  return TRUE;
}

BOOL CALLBACK ListWindow(HWND hwnd, LPARAM) {
  if (!IsWindowVisible(hwnd)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  const ControlState state = ReadControl(hwnd, kCaptionId);
  PrintOut(L"pid " + std::to_wstring(pid) + L" " + DescribeControl(kCaptionId, state));
  return TRUE;
}

}  // namespace

void DumpWindow(HWND window, bool toErr) {
  Print(toErr, DescribeControl(kCaptionId, ReadControl(window, kCaptionId)));
  DumpTarget target{window, toErr};
  EnumChildWindows(window, DumpChild, reinterpret_cast<LPARAM>(&target));
}

int VerbRect(Session& s, const Command& c) {
  HWND window = RequireWindow(s, c);
  RECT r{};
  if (window == nullptr) return kUsage;
  if (!GetWindowRect(window, &r)) return Fail(L"the window has no rectangle");
  PrintOut(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
           std::to_wstring(r.bottom - r.top));
  return kOk;
}

int VerbDump(Session& s, const Command& c) {
  HWND window = RequireWindow(s, c);
  if (window == nullptr) return kUsage;
  DumpWindow(window, false);
  return kOk;
}

int VerbList(Session&, const Command&) {
  EnumWindows(ListWindow, 0);
  return kOk;
}

}  // namespace drv
