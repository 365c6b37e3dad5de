// Gives the in-memory window system the setup dialog exactly as the program's
// resource script lays it out.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "platform/memory/MemoryWindows.h"

namespace testing_support {

inline bool LoadSetupDialogTemplate(mem::MemoryWindows& windows, std::string& error) {
  std::ifstream in(VM_SOURCE_DIR "/app/setupdlg/res/SetUp.rc", std::ios::binary);
  if (!in) {
    error = "cannot read SetUp.rc";
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  mem::DialogTemplate dialog;
  if (!mem::ReadDialogTemplate(text.str(), 141, dialog, error)) return false;
  windows.AddDialogTemplate(141, dialog);
  return true;
}

}  // namespace testing_support
