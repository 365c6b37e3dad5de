// Time from process start to the dialog shown: SetUp.exe (discovery runs before
// its dialog) against a minimal dialog program, started the same way, in
// alternating rounds. Each dialog is closed with Cancel once it shows.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/BenchCommon.h"
#include "bench/win/BenchModes.h"

namespace {

constexpr wchar_t kSetupCaption[] = L"Vellmark-结构工具箱安装";
constexpr wchar_t kMinimalCaption[] = L"vm_bench minimal dialog";
constexpr double kTimeoutMs = 60000;

// Milliseconds from CreateProcess to the dialog visible; negative on failure.
double TimeToDialog(const std::string& program, const wchar_t* caption) {
  bench::Child child;
  const double t0 = bench::NowMs();
  if (!child.Start(program)) return -1;
  HWND dialog = nullptr;
  while ((dialog = bench::FindShownWindow(child.info.dwProcessId, caption)) == nullptr) {
    if (bench::NowMs() - t0 > kTimeoutMs || child.WaitEnd(0)) return -1;
    Sleep(1);
  }
  const double shown = bench::NowMs() - t0;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  const double cancel = bench::NowMs();
  if (!child.WaitEnd(20000)) return -1;
  std::printf("  cancel to exit %.1f ms\n", bench::NowMs() - cancel);
  return shown;
}

}  // namespace

int RunStartupBench(int rounds, const std::string& setup, const std::string& minimal) {
  std::vector<double> setupTimes, minimalTimes;
  for (int r = 0; r <= rounds; ++r) {
    for (int leg = 0; leg < 2; ++leg) {
      const bool setupLeg = (leg == 0) == (r % 2 == 0);
      const double ms = setupLeg ? TimeToDialog(setup, kSetupCaption) : TimeToDialog(minimal, kMinimalCaption);
      if (ms < 0) {
        std::fprintf(stderr, "%s: no dialog\n", setupLeg ? setup.c_str() : minimal.c_str());
        return 1;
      }
      if (r > 0) (setupLeg ? setupTimes : minimalTimes).push_back(ms);
      std::printf("round %d %s_ms=%.1f\n", r, setupLeg ? "setup" : "minimal", ms);
    }
  }
  const double s = bench::Median(setupTimes), m = bench::Median(minimalTimes);
  std::printf("RESULT startup setup_ms=%.1f minimal_ms=%.1f ratio=%.3f rounds=%d\n", s, m, s / m, rounds);
  return 0;
}
