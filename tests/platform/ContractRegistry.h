// The registry the contract tests run against: the in-memory model natively
// (ContractRegistry_memory.cpp), the real registry of the machine in the Windows
// builds (ContractRegistry_win32.cpp). Each test gets its own, with empty
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER hives.
#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace contract {

class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual plat::IRegistry& Registry() = 0;
  // Empty when the registry is ready; otherwise why it is not (the test must stop:
  // it would otherwise write into the machine's real hives).
  virtual std::string SetupError() const = 0;
  // Handles open now, or -1 when the implementation cannot count them.
  virtual long OpenHandles() const = 0;
  // The real registry of Wine: the few checks where Wine differs from Windows
  // expect Wine's behaviour there (each says why); the model follows Windows.
  virtual bool IsWine() const = 0;
};

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest();

}  // namespace contract
