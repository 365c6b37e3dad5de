// The machine as the logic sees it, where a test must stand in for it or make it
// fail: the registry, the file system, the process list, and what the user
// answers (message boxes, the browse window). Windows, drawing and code-page
// conversion are Win32 calls of their callers' own.
#pragma once

#include "platform/FileSystem.h"
#include "platform/ProcessList.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

namespace plat {

struct Platform {
  IRegistry& registry;
  IFileSystem& files;
  IProcessList& processes;
  IShell& shell;
};

}  // namespace plat
