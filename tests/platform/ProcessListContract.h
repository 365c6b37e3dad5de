// The process list the contract tests run against: the in-memory model natively
// (ProcessListMemoryTests.cpp), the real one under Wine (ProcessListWin32Tests.cpp),
// where a started program is a copy of vm_sleeper under the name asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ProcessList.h"

namespace contract {

class ProcessesUnderTest {
 public:
  virtual ~ProcessesUnderTest() = default;
  virtual plat::IProcessList& List() = 0;
  // Empty when programs can be started; otherwise why not.
  virtual std::string SetupError() const = 0;
  // Starts a program whose executable has this file name; its process id, 0 on failure.
  virtual std::uint32_t Start(const std::string& exeName) = 0;
  // Ends it and waits until it has gone; false when it could not.
  virtual bool End(std::uint32_t processId) = 0;
  // Snapshot handles open now, or -1 when the implementation cannot count them.
  virtual long OpenHandles() const = 0;
};

std::unique_ptr<ProcessesUnderTest> MakeProcessesUnderTest();

}  // namespace contract
