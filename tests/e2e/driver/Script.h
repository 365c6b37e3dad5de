// The driver's command line: optional settings, then verbs with their arguments,
// separated by ";" words, e.g.
//   vm_driver --timeout 5000 window "Title" ";" expect 1018 enabled checked ";" click 2
// Parsing only: what the verbs do is in Verbs.cpp.
#pragma once

#include <string>
#include <vector>

namespace drv {

struct Command {
  std::wstring verb;
  std::vector<std::wstring> args;
};

struct Script {
  unsigned timeoutMs = 10000;  // how long a waiting verb waits unless told
  std::vector<Command> commands;
  std::wstring error;  // empty when the command line made sense
};

// args: the words after the program's name.
Script ParseScript(const std::vector<std::wstring>& args);

// A control: decimal or 0x-hex id, or "caption" for the window itself (-1).
constexpr int kCaptionId = -1;
bool ParseId(const std::wstring& word, int* id);
bool ParseMs(const std::wstring& word, unsigned* ms);

// The usage text, one verb a line.
const wchar_t* UsageText();

}  // namespace drv
