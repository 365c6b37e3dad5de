// Looking at and poking the windows of another process, as a user would.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/driver/State.h"

namespace drv {

// A visible top-level window with exactly this caption, or null.
HWND FindVisibleTopLevel(const std::wstring& caption);
// A visible top-level window of process `pid` with exactly this caption, or null.
HWND FindVisibleTopLevelOf(DWORD pid, const std::wstring& caption);
// A visible message box of process `pid` that is not `exclude`s; null if none.
HWND FindMessageBox(DWORD pid, const HWND* exclude, size_t excludeCount);

// id kCaptionId: the window itself. Of several controls with one id the visible
// one, as a user sees it: Wine's folder-browse window has a hidden edit box of its
// own with the id a program may give the edit box it adds (0x3744).
HWND ControlOf(HWND window, int id);
ControlState ReadControl(HWND window, int id);
// Static controls often share one id (IDC_STATIC, 0xFFFF): a dump reads each by handle.
ControlState ReadWindow(HWND control, bool topLevel);
// The text through WM_GETTEXT: GetWindowTextW does not ask a window of another
// process, it only hands back the caption the system keeps, which controls lack.
std::wstring ReadText(HWND control);
std::wstring ClassOf(HWND control);

// Posted, not sent: the click may start a modal loop (a message box, a browse
// window) and a sent message would only come back when that loop ends.
bool PostClick(HWND control);
bool PostClose(HWND window);
// virtualKey to the control that has the keyboard focus in `window`'s thread.
bool PostKey(HWND window, UINT virtualKey);
bool SendText(HWND control, const std::wstring& text);

// Waits until the window's thread has dispatched what was posted to it so far.
// A message sent from another thread is handled when that thread next asks for
// a message, before its posted ones: the first round trip may come back before
// the posted click, the second comes back only after the click was dispatched
// (with the dialog's WM_COMMAND handling, which is sent inside it). A modal loop
// opened by the click handles them too. Each round gives up after a second.
void Settle(HWND window);

}  // namespace drv
