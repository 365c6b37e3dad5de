// vm_driver: acts as a user on the windows of another program, for the
// end-to-end tests and the demo. See UsageText() in Script.cpp for the verbs.
#include <string>
#include <vector>

#include "tests/e2e/driver/Console.h"
#include "tests/e2e/driver/Script.h"
#include "tests/e2e/driver/Verbs.h"

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  const drv::Script script = drv::ParseScript(args);
  if (!script.error.empty()) {
    drv::PrintErr(L"vm_driver: " + script.error);
    drv::PrintErr(drv::UsageText());
    return drv::kUsage;
  }
  drv::Session session;
  session.timeoutMs = script.timeoutMs;
  for (const drv::Command& command : script.commands) {
    const int result = drv::RunCommand(session, command);
    if (result != drv::kOk) return result;
  }
  return drv::kOk;
}
