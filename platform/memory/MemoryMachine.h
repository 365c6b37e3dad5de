// The whole in-memory machine: one fault plan over its registry, file system,
// process list, window system and shell, and the Platform view the logic takes.
#pragma once

#include "platform/Platform.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryProcessList.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryShell.h"
#include "platform/memory/MemoryWindows.h"

namespace mem {

class MemoryMachine {
 public:
  MemoryMachine()
      : registry(faults),
        windows(faults),
        files(faults),
        processes(faults),
        shell(faults, windows, files),
        platform{registry, windows, files, processes, shell} {}
  MemoryMachine(const MemoryMachine&) = delete;
  MemoryMachine& operator=(const MemoryMachine&) = delete;

  FaultInjector faults;
  MemoryRegistry registry;
  MemoryWindows windows;
  MemoryFileSystem files;
  MemoryProcessList processes;
  MemoryShell shell;
  plat::Platform platform;
};

}  // namespace mem
