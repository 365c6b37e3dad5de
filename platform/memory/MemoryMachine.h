// The whole in-memory machine: one fault plan over its registry and its window
// system, and the Platform view the logic takes.
#pragma once

#include "platform/Platform.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryWindows.h"

namespace mem {

class MemoryMachine {
 public:
  MemoryMachine() : registry(faults), windows(faults), platform{registry, windows} {}
  MemoryMachine(const MemoryMachine&) = delete;
  MemoryMachine& operator=(const MemoryMachine&) = delete;

  FaultInjector faults;
  MemoryRegistry registry;
  MemoryWindows windows;
  plat::Platform platform;
};

}  // namespace mem
