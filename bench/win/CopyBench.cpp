// CopyPackage through the Win32 platform against a plain CopyFileA loop over the
// same package, in alternating rounds. The program lies beside the package's
// Data folder, as SetUp.exe does.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/setupdlg/res/resource.h"
#include "bench/win/BenchCommon.h"
#include "bench/win/BenchModes.h"
#include "deploy/PackageCopier.h"
#include "framework/Wnd.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace {

// A sound run shows no message; any question is answered with Abort so that a
// failing copy ends the benchmark instead of waiting for a user.
class QuietShell : public w32::Win32Shell {
 public:
  int MessageBoxA(HWND, const char* text, const char*, std::uint32_t) override {
    messages.emplace_back(text);
    return IDABORT;
  }
  std::vector<std::string> messages;
};

// The real file calls, each kind timed when `timing` is on.
class TimedFiles : public w32::Win32FileSystem {
 public:
  struct Cost {
    int calls = 0;
    double ms = 0;
  };
  bool timing = false;
  std::map<std::string, Cost> costs;

  HANDLE FindFirstFileA(const char* p, plat::FindData* d) override {
    return Time("FindFirstFileA", [&] { return w32::Win32FileSystem::FindFirstFileA(p, d); });
  }
  bool FindNextFileA(HANDLE f, plat::FindData* d) override {
    return Time("FindNextFileA", [&] { return w32::Win32FileSystem::FindNextFileA(f, d); });
  }
  bool CopyFileA(const char* a, const char* b, bool failIfExists) override {
    return Time("CopyFileA", [&] { return w32::Win32FileSystem::CopyFileA(a, b, failIfExists); });
  }
  std::uint32_t GetFileAttributesA(const char* p) override {
    return Time("GetFileAttributesA", [&] { return w32::Win32FileSystem::GetFileAttributesA(p); });
  }
  bool SetFileAttributesA(const char* p, std::uint32_t a) override {
    return Time("SetFileAttributesA", [&] { return w32::Win32FileSystem::SetFileAttributesA(p, a); });
  }
  bool DeleteFileA(const char* p) override {
    return Time("DeleteFileA", [&] { return w32::Win32FileSystem::DeleteFileA(p); });
  }

 private:
  template <typename Call>
  auto Time(const char* name, Call call) -> decltype(call()) {
    if (!timing) return call();
    const double t0 = bench::NowMs();
    auto result = call();
    Cost& c = costs[name];
    c.ms += bench::NowMs() - t0;
    ++c.calls;
    return result;
  }
};

// A hidden owner with the progress bar the copier steps.
class HiddenProgress {
 public:
  HiddenProgress() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_owner = CreateWindowExA(0, "STATIC", "vm_bench", WS_POPUP, 0, 0, 320, 40, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    m_bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 20, m_owner,
                            reinterpret_cast<HMENU>(IDC_PROGRESS), GetModuleHandleA(nullptr), nullptr);
  }
  HiddenProgress(const HiddenProgress&) = delete;
  HiddenProgress& operator=(const HiddenProgress&) = delete;
  ~HiddenProgress() {
    if (m_owner != nullptr) DestroyWindow(m_owner);
  }
  bool valid() const { return m_bar != nullptr; }
  HWND bar() const { return m_bar; }

 private:
  HWND m_owner = nullptr;
  HWND m_bar = nullptr;
};

struct CopierRig {
  w32::Win32Registry registry;
  TimedFiles files;
  w32::Win32ProcessList processes;
  QuietShell shell;
  plat::Platform platform{registry, files, processes, shell};
  HiddenProgress hidden;
  fw::CProgressCtrl progress;

  CopierRig() { progress.Attach(hidden.bar()); }
  bool Copy(const std::string& target) {
    progress.SetRange(0, 50);
    progress.SetStep(1);
    progress.SetPos(0);
    CPackageCopier copier(platform, target, progress, hidden.bar());
    return copier.CopyPackage(bench::ProgramFolder() + "\\Data");
  }
};

}  // namespace

int RunCopyBench(int rounds, const std::string& work) {
  const std::string data = bench::ProgramFolder() + "\\Data";
  const std::string copierTarget = work + "\\copier";
  const std::string loopTarget = work + "\\loop";
  const std::size_t files = bench::ListFiles(data).size();
  std::printf("package=%zu files, %.1f MB\n", files, bench::FolderBytes(data) / 1e6);
  CopierRig rig;
  if (!rig.hidden.valid()) return std::fprintf(stderr, "no progress bar\n"), 1;

  std::vector<double> copier, loop;
  // Round 0 warms the caches and is not counted; odd rounds run the loop first.
  for (int r = 0; r <= rounds; ++r) {
    for (int leg = 0; leg < 2; ++leg) {
      const bool copierLeg = (leg == 0) == (r % 2 == 0);
      const std::string& target = copierLeg ? copierTarget : loopTarget;
      if (!bench::ClearFolder(target)) return std::fprintf(stderr, "cannot clear %s\n", target.c_str()), 1;
      const double t0 = bench::NowMs();
      const bool ok = copierLeg ? rig.Copy(target) : bench::CopyLoop(data, target) == static_cast<int>(files);
      const double ms = bench::NowMs() - t0;
      if (!ok || bench::ListFiles(target).size() != files) {
        std::fprintf(stderr, "%s run failed\n", copierLeg ? "CopyPackage" : "CopyFileA loop");
        for (const std::string& m : rig.shell.messages) std::fprintf(stderr, "message: %s\n", m.c_str());
        return 1;
      }
      if (r > 0) (copierLeg ? copier : loop).push_back(ms);
    }
  }
  if (!rig.shell.messages.empty()) return std::fprintf(stderr, "the copier showed a message\n"), 1;

  // One more copier run with every file call timed, for the cost of each kind.
  bench::ClearFolder(copierTarget);
  rig.files.timing = true;
  const double t0 = bench::NowMs();
  rig.Copy(copierTarget);
  const double profiled = bench::NowMs() - t0;
  rig.files.timing = false;
  for (const auto& [name, cost] : rig.files.costs)
    std::printf("calls %s count=%d total_ms=%.2f per_call_us=%.1f\n", name.c_str(), cost.calls, cost.ms,
                cost.calls != 0 ? cost.ms * 1000.0 / cost.calls : 0.0);
  std::printf("calls profiled_run_ms=%.2f\n", profiled);

  bench::ClearFolder(copierTarget);
  bench::ClearFolder(loopTarget);
  const double c = bench::Median(copier), l = bench::Median(loop);
  std::printf("RESULT copy copier_ms=%.2f loop_ms=%.2f ratio=%.3f rounds=%d\n", c, l, c / l, rounds);
  return 0;
}
