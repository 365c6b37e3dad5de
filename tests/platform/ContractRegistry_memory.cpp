// The contract suite against the in-memory model.
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryRegistry.h"
#include "tests/platform/ContractRegistry.h"

namespace contract {
namespace {

class MemoryUnderTest : public RegistryUnderTest {
 public:
  plat::IRegistry& Registry() override { return m_registry; }
  std::string SetupError() const override { return {}; }
  long OpenHandles() const override { return static_cast<long>(m_registry.OpenHandles()); }
  bool IsWine() const override { return false; }

 private:
  mem::FaultInjector m_faults;
  mem::MemoryRegistry m_registry{m_faults};
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() { return std::make_unique<MemoryUnderTest>(); }

}  // namespace contract
