// The fault sweeps: a whole installation through the real dialog, and a whole removal by the uninstaller, with their
// k-th platform call failing for every k, once and from k on. Each run ends without a crash or an open handle and
// changes nothing the program does not own. An installation keeps every trusted folder and is called complete only
// when nothing of it failed; a removal that says it finished left the machine as it was but for the fonts, one that
// did not keeps the Apps & Features entry, and a second removal then finishes it.
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "acad/TrustedPaths.h"
#include "app/BuildConstants.h"
#include "app/setupdlg/res/resource.h"
#include "app/uninstall/UninstallEntry.h"
#include "tests/app/SetupCase.h"

namespace {

const char* const kDone = "安装完成，重启CAD即可使用 !";
const char* const kImport = "若要导入早期版本";
const std::wstring kProfiles = L"SOFTWARE\\Autodesk\\AutoCAD\\";
const std::wstring kVariables[] = {kProfiles + L"R17.1\\ACAD-6001:804\\Profiles\\<<Unnamed Profile>>\\Variables",
                                   kProfiles + L"R20.1\\ACAD-F001:804\\Profiles\\Work\\Variables",
                                   kProfiles + L"R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables"};
const std::wstring kTrusted[] = {L"D:\\结构\\库;E:\\Jörg\\...", L"c:\\kavtor\\vellmark2", L""};

void Seed(wt::Sandbox& box) {
  for (const char* name : {"Kavtor2008.ARX", "Kavtor2015.ARX", "ACAD2013.dll", "Kavtor.prt5", "Kavtor_EN.shx",
                           "Kavtor_HZ.shx", "SetUp.exe"})
    box.Write(box.Path("Data\\") + name, name);
  box.Write(box.Path("Data\\help.chm"), "help", FILE_ATTRIBUTE_READONLY);
  box.AddAcad(L"SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804", box.Path("AutoCAD 2008"),
              L"AutoCAD 2008 - 简体中文");
  box.Write(box.Path("AutoCAD 2008\\Drv\\pdfplot9.hdi"), "Autodesk's driver");
  for (int i = 0; i < 3; ++i) {
    if (!kTrusted[i].empty()) box.Set(HKEY_CURRENT_USER, kVariables[i], L"TRUSTEDPATHS", kTrusted[i]);
    box.Set(HKEY_CURRENT_USER, kVariables[i].substr(0, kVariables[i].rfind(L'\\')) + L"\\General", L"X", L"x");
  }
  box.Set(HKEY_CURRENT_USER, L"Software\\Other", L"Keep", L"me");
  box.AddKey(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::kUninstallKey));  // as every Windows has it
}

// Of a line of changes ("+ " or "- ", then the line of the snapshot):
bool Starts(const std::string& change, const char* part) { return change.compare(2, std::strlen(part), part) == 0; }
bool Has(const std::string& change, const char* part) { return change.find(part) != std::string::npos; }
// What the program owns: the product folder, the support files (AutoCAD's driver kept aside), the package's
// read-only bits it clears, the Applications and Variables keys it may make (loader keys, TRUSTEDPATHS), its Apps &
// Features entry.
bool Owned(const std::string& l) {
  return Starts(l, "Tools\\") || Has(l, "\\Fonts\\Kavtor_") || Has(l, "\\Drv\\pdfplot9.hdi") ||
         Starts(l, "AutoCAD 2008\\ACAD2013.dll") || Starts(l, "Data\\help.chm ") || Has(l, "\\Applications") ||
         Has(l, "\\Variables") || Has(l, "\\Uninstall\\");
}
bool InPackage(const std::string& l) { return Starts(l, "Data\\"); }
// What a removal leaves: the fonts, and the package as the installation left it (its read-only bits cleared).
bool Left(const std::string& l) { return Has(l, "\\Fonts\\Kavtor_") || InPackage(l); }
// What changed since `before`, the trusted lists compared letter case aside.
std::string ChangesSince(const std::string& before, const wt::Sandbox& box) {
  return wt::Changes(wt::TrustedListsUpper(before), wt::TrustedListsUpper(wt::Snapshot(box)));
}
struct Outcome {
  std::intptr_t result = 0;
  std::string made;     // what changed, the package aside
  std::string touched;  // what changed that the program does not own
  std::vector<std::string> texts, failed, lost;
  std::size_t calls = 0, discovery = 0, open = 0;
  bool entry = false, finished = false, kept = false, restored = false, restoredAfterSecond = false;
};

// One installation into Tools, failing from call `failAt` (0: none) on.
std::intptr_t InstallOnce(wt::TestPlatform& os, wt::Sandbox& box, Outcome* run) {
  os.answers.assign(64, IDIGNORE);  // every copy question: the run that goes furthest
  CAcadSetup acad(os.platform, kEditionBits);
  const std::string target = box.Path("Tools");
  return wt::RunSetup(
      os, acad, kEditionBits,
      [&](HWND d) {
        ::SetWindowTextA(::GetDlgItem(d, IDC_PATH), target.c_str());
        if (wt::IsEnabled(d, IDC_INSTALL)) ::SendDlgItemMessageA(d, IDC_INSTALL, BM_CLICK, 0, 0);
        // Refused before anything was made (the dialog still choosing): the user gives up.
        if (::IsWindowVisible(d)) ::SendDlgItemMessageA(d, IDCANCEL, BM_CLICK, 0, 0);
      },
      run != nullptr ? &run->discovery : nullptr);
}

RemovalReport RemoveOnce(wt::TestPlatform& os, wt::Sandbox& box) {
  return wt::RunRemoval(os, kEditionBits, box.Path("Tools\\Vellmark"));
}

Outcome Install(std::size_t failAt, bool fromThereOn) {
  Outcome run;
  wt::Sandbox box;
  Seed(box);
  const std::string before = wt::Snapshot(box);
  wt::TestPlatform os;
  if (failAt != 0) os.FailCall(failAt, fromThereOn);
  run.result = InstallOnce(os, box, &run);
  os.StopFailing();
  run.calls = os.calls;
  run.failed = os.failed;
  run.open = os.OpenHandles();
  const std::string changes = ChangesSince(before, box);
  run.made = wt::Without(changes, InPackage);
  run.touched = wt::Without(changes, Owned);
  for (const wt::MessageBoxCall& b : os.boxes) run.texts.push_back(b.text);
  for (int i = 0; i < 3; ++i) {
    const std::u16string now = wt::U16(box.Get(HKEY_CURRENT_USER, kVariables[i], L"TRUSTEDPATHS").value_or(L""));
    std::wistringstream entries(kTrusted[i]);
    std::wstring entry;
    while (std::getline(entries, entry, L';'))
      if (!ListsTrustedFolder(now, wt::U16(entry))) run.lost.push_back(wt::Utf8(kVariables[i] + L": " + entry));
  }
  return run;
}

// A sound installation, then its removal failing from call `failAt` on, then a sound removal.
Outcome Remove(std::size_t failAt, bool fromThereOn) {
  Outcome run;
  wt::Sandbox box;
  Seed(box);
  const std::string before = wt::Snapshot(box);
  wt::TestPlatform os;
  InstallOnce(os, box, nullptr);
  const std::size_t installed = os.calls;
  if (failAt != 0) os.FailCall(failAt, fromThereOn);
  const RemovalReport report = RemoveOnce(os, box);
  os.StopFailing();
  run.calls = os.calls - installed;
  run.failed = os.failed;
  run.open = os.OpenHandles();
  run.finished = report.failures.empty();
  run.kept = std::any_of(report.kept.begin(), report.kept.end(), [](const std::string& k) {
    return k.rfind("文件夹 ", 0) == 0;
  });  // a folder that would not go
  run.entry = box.Get(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::EntryKey(kEditionBits)), L"UninstallString").has_value();
  // As before the installation, or what differs noted.
  const auto restored = [&] {
    const std::string lost = wt::Without(ChangesSince(before, box), Left);
    if (!lost.empty()) run.lost.push_back(lost);
    return lost.empty();
  };
  run.restored = restored();
  run.touched = wt::Without(ChangesSince(before, box), Owned);
  RemoveOnce(os, box);
  run.restoredAfterSecond = restored();
  return run;
}

std::size_t Setting(const char* name, std::size_t otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : otherwise;
}

// Minutes under Wine, so builds share them out: VM_SWEEP_EVERY n and VM_SWEEP_FIRST i take each k where k % n is i;
// VM_SWEEP_ONWARD=0 leaves out the runs failing every call from k on.
template <class Check>
void Sweep(const char* what, std::size_t calls, Check check) {
  const std::size_t every = Setting("VM_SWEEP_EVERY", 1), first = Setting("VM_SWEEP_FIRST", 0);
  std::size_t runs = 0;
  for (bool fromThereOn : {false, true}) {
    if (fromThereOn && Setting("VM_SWEEP_ONWARD", 1) == 0) break;
    for (std::size_t k = 1; k <= calls; ++k)
      if (k % every == first % every) check(k, fromThereOn), ++runs;
  }
  std::printf("fault sweep: %zu runs over %zu calls of a sound %s\n", runs, calls, what);
}

TEST(InstallSweepTest, EveryFailingCallOfAWholeInstallation) {
  const Outcome sound = Install(0, false);
  ASSERT_EQ(sound.result, IDOK) << (sound.texts.empty() ? "" : sound.texts[0]) << " " << sound.calls;
  ASSERT_EQ(sound.texts.size(), 2u);
  ASSERT_EQ(sound.texts[0], kDone);
  ASSERT_TRUE(sound.lost.empty());
  ASSERT_EQ(sound.open, 0u);
  EXPECT_EQ(sound.touched, "");
  Sweep("installation", sound.calls, [&](std::size_t k, bool fromThereOn) {
    const Outcome run = Install(k, fromThereOn);
    // Wine repaints, and so calls the colour handler, at its own times: a late k may not come at all.
    if (run.failed.empty()) return;
    const std::string where = std::to_string(k) + (fromThereOn ? "+ " : " ") + run.failed.front();
    EXPECT_EQ(run.open, 0u) << where;
    for (const std::string& lost : run.lost) ADD_FAILURE() << where << ": trusted folder lost: " << lost;
    EXPECT_EQ(run.touched, "") << where;
    // Complete is said only of an installation that is what the sound one made and told of no failure. A release
    // whose keys could not be read during discovery is not offered, so not missed; a message that could not be
    // shown cannot say anything.
    const bool saidDone = std::find(run.texts.begin(), run.texts.end(), kDone) != run.texts.end();
    const bool toldSomethingElse = std::any_of(run.texts.begin(), run.texts.end(), [](const std::string& t) {
      return t != kDone && t.rfind(kImport, 0) != 0;
    });
    // Apps & Features' size estimate stands for itself: one file size not read changes it, and nothing else.
    const bool incomplete = run.made != sound.made;
    const bool unsayable = std::find(run.failed.begin(), run.failed.end(), "MessageBoxA") != run.failed.end();
    const bool inDiscovery = !fromThereOn && k <= sound.discovery;
    if (saidDone && toldSomethingElse) ADD_FAILURE() << where << ": complete after a failure was told";
    if (saidDone && incomplete && !unsayable && !inDiscovery)
      ADD_FAILURE() << where << ": an incomplete installation was reported as complete";
  });
}

TEST(InstallSweepTest, EveryFailingCallOfAWholeRemoval) {
  const Outcome sound = Remove(0, false);
  ASSERT_TRUE(sound.finished && sound.restored && !sound.entry) << sound.touched;
  ASSERT_EQ(sound.open, 0u);
  Sweep("removal", sound.calls, [&](std::size_t k, bool fromThereOn) {
    const Outcome run = Remove(k, fromThereOn);
    if (run.failed.empty()) return;
    const std::string where = std::to_string(k) + (fromThereOn ? "+ " : " ") + run.failed.front();
    EXPECT_EQ(run.open, 0u) << where;
    EXPECT_EQ(run.touched, "") << where;
    // Finished means the machine is as it was, but for what the message names as kept (an empty folder that would
    // not go).
    if (run.finished && !run.restored && !run.kept)
      ADD_FAILURE() << where << ": finished, but not all was taken back:\n" << run.lost.front();
    if (run.finished && run.entry) ADD_FAILURE() << where << ": finished, but the entry stayed";
    if (!run.finished && !run.entry) ADD_FAILURE() << where << ": a removal that failed took its entry away";
    if (!run.restoredAfterSecond)
      ADD_FAILURE() << where << ": a second removal did not finish the job:\n" << run.lost.back();
  });
}

}  // namespace
