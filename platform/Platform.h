// The machine as the logic sees it: one reference per kind of operation. The
// program passes the Win32 implementations; tests pass the in-memory machine.
#pragma once

#include "platform/FileSystem.h"
#include "platform/ProcessList.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/TextCodec.h"
#include "platform/WindowSystem.h"

namespace plat {

struct Platform {
  IRegistry& registry;
  IWindowSystem& windows;
  IFileSystem& files;
  IProcessList& processes;
  IShell& shell;
  ITextCodec& text;
};

}  // namespace plat
