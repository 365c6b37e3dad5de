// The verbs of a driver script, run one after the other on one session.
#pragma once

#include "tests/e2e/driver/Script.h"
#include "tests/e2e/driver/Session.h"

namespace drv {

constexpr int kOk = 0;
constexpr int kFailed = 1;  // a check did not hold, or a wait ran out
constexpr int kUsage = 2;   // the script itself is wrong

int RunCommand(Session& session, const Command& command);

// Verbs by group, each (session, command) -> kOk / kFailed / kUsage.
int VerbWindow(Session& s, const Command& c);
int VerbDialog(Session& s, const Command& c);
int VerbGone(Session& s, const Command& c);
int VerbExited(Session& s, const Command& c);
int VerbMsgBox(Session& s, const Command& c);
int VerbAnswer(Session& s, const Command& c);
int VerbText(Session& s, const Command& c);
int VerbState(Session& s, const Command& c);
int VerbExpect(Session& s, const Command& c);
int VerbExpectText(Session& s, const Command& c);
int VerbClick(Session& s, const Command& c);
int VerbCheck(Session& s, const Command& c);
int VerbSetText(Session& s, const Command& c);
int VerbKey(Session& s, const Command& c);
int VerbClose(Session& s, const Command& c);
int VerbRect(Session& s, const Command& c);
int VerbDump(Session& s, const Command& c);
int VerbList(Session& s, const Command& c);

// Shared by the groups.
int Fail(const std::wstring& message);
// The current window, or an error printed and null.
HWND RequireWindow(const Session& s, const Command& c);
// Optional [MS] argument at `index`, else the session's timeout; false on a bad number.
bool TimeoutArg(const Session& s, const Command& c, size_t index, unsigned* ms);
void DumpWindow(HWND window, bool toErr);

}  // namespace drv
