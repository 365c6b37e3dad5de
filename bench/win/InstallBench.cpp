// SetUp.exe's whole installation against the CopyFileA loop over the same Data
// folder, in alternating rounds. The installation is driven as a user would at
// full speed: the install button clicked once the dialog shows, each message box
// answered as soon as it appears (the click is posted, as vm_driver does).
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/setupdlg/res/resource.h"
#include "bench/win/BenchCommon.h"
#include "bench/win/BenchModes.h"

namespace {

constexpr wchar_t kSetupCaption[] = L"Vellmark-结构工具箱安装";
constexpr wchar_t kToolboxCaption[] = L"Vellmark-工具箱安装";  // the completion messages
constexpr DWORD kTimeoutMs = 120000;
constexpr char kProductFolder[] = "C:\\Kavtor\\Vellmark";

struct BoxSearch {
  DWORD pid;
  HWND dialog;
  const std::set<HWND>* answered;
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND w, LPARAM param) {
  auto* s = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (owner == s->pid && w != s->dialog && IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0 &&
      s->answered->count(w) == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

std::string Utf8(const wchar_t* text) {
  char out[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
  return out;
}

struct InstallRun {
  double startToEndMs = 0;  // process start to process end
  double clickToEndMs = 0;  // install click to process end
  int messages = 0;
  bool sound = false;
};

// Answers a message box: OK for the completion messages; anything else is a
// fault of this run, answered Abort (or OK when that is the only button).
bool Answer(HWND box) {
  wchar_t caption[128] = {}, text[512] = {};
  GetWindowTextW(box, caption, 128);
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  const bool expected = lstrcmpW(caption, kToolboxCaption) == 0;
  if (!expected) std::fprintf(stderr, "unexpected message [%s] %s\n", Utf8(caption).c_str(), Utf8(text).c_str());
  const int button = !expected && GetDlgItem(box, IDABORT) != nullptr ? IDABORT : IDOK;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  return expected;
}

InstallRun Install(const std::string& setup) {
  InstallRun run;
  bench::Child child;
  const double t0 = bench::NowMs();
  if (!child.Start(setup)) return run;
  HWND dialog = nullptr;
  while (dialog == nullptr && bench::NowMs() - t0 < kTimeoutMs && !child.WaitEnd(0)) {
    dialog = bench::FindShownWindow(child.info.dwProcessId, kSetupCaption);
    if (dialog == nullptr) Sleep(1);
  }
  HWND install = dialog != nullptr ? GetDlgItem(dialog, IDC_INSTALL) : nullptr;
  if (install == nullptr || !IsWindowEnabled(install)) {
    std::fprintf(stderr, "no dialog with an enabled install button\n");
    return run;
  }
  const double click = bench::NowMs();
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), reinterpret_cast<LPARAM>(install));
  std::set<HWND> answered;
  bool sound = true;
  HWND last = nullptr;
  bool dialogGone = false;
  while (!child.WaitEnd(1)) {
    // Where the time goes after the work: each answered box closing, the dialog
    // going, the process ending.
    if (last != nullptr && !IsWindow(last)) {
      std::printf("  message %d closed at %.1f ms\n", run.messages, bench::NowMs() - click);
      last = nullptr;
    }
    if (!dialogGone && !IsWindow(dialog)) {
      dialogGone = true;
      std::printf("  dialog gone at %.1f ms\n", bench::NowMs() - click);
    }
    if (bench::NowMs() - t0 > kTimeoutMs) {
      std::fprintf(stderr, "the installation did not end\n");
      return run;
    }
    BoxSearch search{child.info.dwProcessId, dialog, &answered};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) continue;
    answered.insert(search.found);
    last = search.found;
    std::printf("  message %d at %.1f ms after the click\n", run.messages + 1, bench::NowMs() - click);
    sound = Answer(search.found) && sound;
    ++run.messages;
  }
  const double end = bench::NowMs();
  std::printf("  process ended at %.1f ms\n", end - click);
  DWORD code = 1;
  GetExitCodeProcess(child.info.hProcess, &code);
  run.startToEndMs = end - t0;
  run.clickToEndMs = end - click;
  run.sound = sound && run.messages == 2;
  if (!run.sound) std::fprintf(stderr, "exit code %lu, %d messages\n", code, run.messages);
  return run;
}

}  // namespace

int RunInstallBench(int rounds, const std::string& setup, const std::string& work) {
  const std::string data = setup.substr(0, setup.rfind('\\')) + "\\Data";
  const std::string loopTarget = work + "\\loop";
  const int files = static_cast<int>(bench::ListFiles(data).size());
  std::printf("package=%d files, %.1f MB\n", files, bench::FolderBytes(data) / 1e6);
  std::vector<double> whole, installs, loops;
  for (int r = 0; r <= rounds; ++r) {
    for (int leg = 0; leg < 2; ++leg) {
      const bool installLeg = (leg == 0) == (r % 2 == 0);
      if (installLeg) {
        CreateDirectoryA("C:\\Kavtor", nullptr);
        bench::ClearFolder(kProductFolder);
        const InstallRun run = Install(setup);
        if (!run.sound || static_cast<int>(bench::ListFiles(kProductFolder).size()) != files) {
          std::fprintf(stderr, "installation round %d failed\n", r);
          return 1;
        }
        if (r > 0) whole.push_back(run.startToEndMs), installs.push_back(run.clickToEndMs);
        std::printf("round %d install start_to_end_ms=%.1f click_to_end_ms=%.1f\n", r, run.startToEndMs,
                    run.clickToEndMs);
      } else {
        if (!bench::ClearFolder(loopTarget)) return 1;
        const double t0 = bench::NowMs();
        if (bench::CopyLoop(data, loopTarget) != files) return std::fprintf(stderr, "loop failed\n"), 1;
        const double ms = bench::NowMs() - t0;
        if (r > 0) loops.push_back(ms);
        std::printf("round %d loop_ms=%.1f\n", r, ms);
      }
    }
  }
  bench::ClearFolder(kProductFolder);
  bench::ClearFolder(loopTarget);
  const double w = bench::Median(whole), i = bench::Median(installs), l = bench::Median(loops);
  std::printf(
      "RESULT install whole_ms=%.1f install_ms=%.1f loop_ms=%.1f ratio_install=%.3f ratio_whole=%.3f "
      "rounds=%d\n",
      w, i, l, i / l, w / l, rounds);
  return 0;
}
