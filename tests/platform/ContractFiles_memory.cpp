// The contract suite against the in-memory model.
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "tests/platform/ContractFiles.h"

namespace contract {
namespace {

// The same form as the Windows fixture's folder, whose name carries the process id.
const char kRoot[] = "C:\\vm-contract-12345";
const char kProgramFolder[] = "C:\\Program Files\\Vellmark Tests";
const char kProgram[] = "filesystem_contract_memory.exe";

class MemoryFilesUnderTest : public FilesUnderTest {
 public:
  MemoryFilesUnderTest() {
    const std::string program = std::string(kProgramFolder) + "\\" + kProgram;
    m_ready = m_files.AddFolder(kRoot) && m_files.AddFile(program, "MZ");
    m_files.SetModulePath(program);
  }

  plat::IFileSystem& Files() override { return m_files; }
  std::string SetupError() const override { return m_ready ? "" : "could not build the volume"; }
  std::string Root() const override { return kRoot; }
  long OpenHandles() const override { return static_cast<long>(m_files.OpenHandles()); }
  bool IsWine() const override { return false; }
  bool IsWineAsRoot() const override { return false; }

  bool WriteFile(const std::string& path, const std::string& data) override { return m_files.AddFile(path, data); }
  std::string ReadFile(const std::string& path) override { return m_files.ReadFile(path).value_or("<unreadable>"); }
  bool HoldOpen(const std::string& path) override {
    if (!m_files.LockFile(path)) return false;
    m_held.push_back(path);
    return true;
  }
  void ReleaseAll() override {
    for (const std::string& path : m_held) m_files.LockFile(path, false);
    m_held.clear();
  }
  bool ChangeDirectory(const std::string& path) override { return m_files.SetCurrentDir(path); }
  std::string ProgramName() const override { return kProgram; }

 private:
  mem::FaultInjector m_faults;
  mem::MemoryFileSystem m_files{m_faults};
  std::vector<std::string> m_held;
  bool m_ready = false;
};

}  // namespace

std::unique_ptr<FilesUnderTest> MakeFilesUnderTest() { return std::make_unique<MemoryFilesUnderTest>(); }

}  // namespace contract
