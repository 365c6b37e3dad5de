// The fault sweep: a whole installation against the in-memory machine, failing
// the k-th platform call for every k of a sound installation, once and then from
// k on. Each run must end without a crash and with nothing left open, keep every
// trusted folder the user had, change nothing the installer does not own, and
// never call an installation complete that is not, unless it says what failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "acad/AcadSetup.h"
#include "acad/TrustedPaths.h"
#include "app/setupdlg/SetupDlg.h"
#include "platform/memory/MemoryMachine.h"
#include "tests/support/RegistryBuilder.h"
#include "tests/support/SetupTemplate.h"
#include "text/AnsiText.h"

namespace {

constexpr const char* kHkcuAcad = "HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\";
constexpr const char* kProduct = "C:\\Kavtor\\Vellmark";
constexpr const char* kDone = "安装完成，重启CAD即可使用 !";
constexpr const char* kImportPrefix = "若要导入早期版本";

struct Profile {
  std::string variables;  // the Variables key
  std::string trusted;    // TRUSTEDPATHS before the installation
};

const std::vector<Profile> kProfiles = {
    {std::string(kHkcuAcad) + "R17.1\\ACAD-6001:804\\Profiles\\<<Unnamed Profile>>\\Variables",
     "D:\\结构\\库;E:\\Mine\\..."},
    {std::string(kHkcuAcad) + "R20.1\\ACAD-F001:804\\Profiles\\Work\\Variables", "c:\\kavtor\\vellmark2"},
    {std::string(kHkcuAcad) + "R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables", ""},
};

void Seed(mem::MemoryMachine& m) {
  std::string error;
  ASSERT_TRUE(testing_support::LoadSetupDialogTemplate(m.windows, error)) << error;
  m.windows.InitDialogControls();
  m.files.AddDrive('D');
  m.files.SetModulePath("C:\\Downloads\\Vellmark\\SetUp.exe");
  m.files.AddFile("C:\\Downloads\\Vellmark\\SetUp.exe", "program");
  const std::string data = "C:\\Downloads\\Vellmark\\Data\\";
  for (const char* name : {"Kavtor2008.ARX", "Kavtor2015.ARX", "ACAD2007.dll", "ACAD2013.dll", "Kavtor.prt5",
                           "Kavtor_EN.shx", "Kavtor_HZ.shx", "help.chm"})
    m.files.AddFile(data + name, name);
  m.files.AddFile(data + "SetUp.exe", "old program");
  m.files.AddFile(data + "ACAD2013.dll:Zone.Identifier", "[ZoneTransfer]");
  m.files.AddFile(data + "help.chm", "help", plat::kFileAttributeReadOnly);
  testing_support::AddInstallation(m.registry, "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804",
                                   "C:\\AutoCAD 2008", "AutoCAD 2008 - 简体中文");
  testing_support::AddInstallation(m.registry, "SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804", "D:\\AutoCAD 2016",
                                   "AutoCAD 2016");
  for (const char* folder : {"C:\\AutoCAD 2008", "D:\\AutoCAD 2016"}) {
    m.files.AddFile(std::string(folder) + "\\acad.exe", "AutoCAD");
    m.files.AddFolder(std::string(folder) + "\\Fonts");
    m.files.AddFolder(std::string(folder) + "\\Drv");
  }
  m.files.AddFile("C:\\AutoCAD 2008\\Drv\\pdfplot9.hdi", "Autodesk's driver");
  for (const Profile& p : kProfiles) {
    if (!p.trusted.empty()) m.registry.SetString(p.variables, "TRUSTEDPATHS", p.trusted);
    m.registry.SetString(p.variables.substr(0, p.variables.rfind('\\')) + "\\General", "ACADPREFIX", "x");
  }
  m.registry.SetString("HKEY_CURRENT_USER\\Software\\Other", "Keep", "me");
}

bool IsOwnedKey(const std::string& header) {
  return header.find("\\Applications\\Kavtor") != std::string::npos ||
         (header.size() > 14 && header.compare(header.size() - 14, 14, "\\Applications]") == 0) ||
         (header.size() > 11 && header.compare(header.size() - 11, 11, "\\Variables]") == 0);
}

// The registry as the export shows it, less what the installer owns: its loader
// keys, the Applications and Variables keys it may create, and TRUSTEDPATHS.
std::string UnownedRegistry(const mem::MemoryMachine& m) {
  std::istringstream in(m.registry.Export());
  std::string line, out;
  bool skipping = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      skipping = line.find("\\Applications\\Kavtor") != std::string::npos;
      if (IsOwnedKey(line)) continue;
    }
    if (skipping || line.rfind("\"TRUSTEDPATHS\"=", 0) == 0) continue;
    out += line + "\n";
  }
  return out;
}

// ListAll lines read "path kind attributes data": paths may hold spaces.
std::string PathOf(const std::string& line) {
  for (const char* kind : {" file ", " dir ", " stream "}) {
    const std::size_t at = line.find(kind);
    if (at != std::string::npos) return line.substr(0, at);
  }
  return line;
}

bool IsOwnedFile(std::string path) {
  path = path.substr(0, path.find(':', 2));  // a file's streams go with the file
  if (path.rfind("C:\\Kavtor", 0) == 0) return true;
  for (const char* folder : {"C:\\AutoCAD 2008\\", "D:\\AutoCAD 2016\\"}) {
    if (path.rfind(folder, 0) != 0) continue;
    const std::string rest = path.substr(std::string(folder).size());
    if (rest == "Fonts\\Kavtor_EN.shx" || rest == "Fonts\\Kavtor_HZ.shx" || rest == "Drv\\pdfplot9.hdi" ||
        (rest.rfind("ACAD20", 0) == 0 && rest.size() == 12 && rest.compare(8, 4, ".dll") == 0))
      return true;
  }
  return false;
}

// The files, less what the installer owns: the product folder, the support
// files, and in the package folder the read-only bit and the download marks,
// which the copy clears on the package's own files by design.
std::string UnownedFiles(const mem::MemoryMachine& m) {
  const std::string package = "C:\\Downloads\\Vellmark\\Data\\";
  std::istringstream in(m.files.ListAll());
  std::string line, out;
  while (std::getline(in, line)) {
    const std::string path = PathOf(line);
    if (IsOwnedFile(path)) continue;
    if (path.rfind(package, 0) == 0) {
      if (path.find(':', 2) != std::string::npos) continue;  // a stream
      const std::size_t kind = line.find(" file ", path.size());
      if (kind == path.size()) {
        const std::size_t data = line.find(' ', kind + 6);
        line = path + " file" + line.substr(data);
      }
    }
    out += line + "\n";
  }
  return out;
}

// Paths and data only: what was installed, not the attributes or download marks
// it carries.
std::string Contents(const std::string& listing) {
  std::istringstream in(listing);
  std::string line, out;
  while (std::getline(in, line)) {
    const std::string path = PathOf(line);
    if (line.compare(path.size(), 8, " stream ") == 0) continue;
    if (line.compare(path.size(), 6, " file ") == 0)
      line = path + " file" + line.substr(line.find(' ', path.size() + 6));
    out += line + "\n";
  }
  return out;
}

struct Outcome {
  std::intptr_t result = 0;
  std::string registry, files;  // the whole state afterwards
  std::string unownedRegistry, unownedFiles;
  std::vector<mem::MessageBoxCall> messages;
  std::vector<std::string> failures;  // the calls made to fail
  std::size_t calls = 0;
  std::size_t openHandles = 0;
  std::vector<std::string> lostTrusted;
};

Outcome Install(std::size_t failAt, bool repeat) {
  Outcome run;
  mem::MemoryMachine m;
  Seed(m);
  CAcadSetup acad(m.platform, 32);
  g_bCheckAcadRunning = true;
  m.windows.QueueUser([](mem::DialogUser& u) {
    u.Click(setupdlg::kInstallButton);
    if (!u.Ended()) u.Click(2);
  });
  // Every question of the copy is answered Ignore: the run that goes furthest.
  for (int i = 0; i < 64; ++i) m.windows.QueueMessageBoxAnswer(plat::kIdIgnore);
  m.faults.ResetCount();
  if (failAt != 0) m.faults.FailCall(failAt, repeat);
  acad.DiscoverReleases();
  {
    Dlg_Setup dlg(m.platform, acad, 0, 32, kSetupVersion);
    run.result = dlg.DoModal();
  }
  run.calls = m.faults.Calls();
  run.failures = m.faults.Failures();
  m.faults.Clear();
  run.registry = m.registry.Export();
  run.files = m.files.ListAll();
  run.unownedRegistry = UnownedRegistry(m);
  run.unownedFiles = UnownedFiles(m);
  run.messages = m.windows.MessageBoxes();
  run.openHandles = m.files.OpenHandles() + m.registry.OpenHandles() + m.processes.OpenHandles() +
                    m.shell.LiveItemLists() + m.windows.LiveGdiObjects();
  for (const Profile& p : kProfiles) {
    const std::string now = ansi::UpperAscii(m.registry.GetString(p.variables, "TRUSTEDPATHS").value_or(""));
    std::istringstream entries(p.trusted);
    std::string entry;
    while (std::getline(entries, entry, ';'))
      if (!entry.empty() && !ListsTrustedFolder(now, entry)) run.lostTrusted.push_back(p.variables + ": " + entry);
  }
  return run;
}

bool ToldSomethingFailed(const Outcome& run) {
  for (const auto& box : run.messages)
    if (box.text != kDone && box.text.rfind(kImportPrefix, 0) != 0) return true;
  return false;
}

bool SaidDone(const Outcome& run) {
  for (const auto& box : run.messages)
    if (box.text == kDone) return true;
  return false;
}

TEST(InstallSweepTest, EveryFailingCallOfAWholeInstallation) {
  mem::MemoryMachine pristine;
  Seed(pristine);
  std::size_t discoveryCalls = 0;
  {
    mem::MemoryMachine m;
    Seed(m);
    CAcadSetup acad(m.platform, 32);
    m.faults.ResetCount();
    acad.DiscoverReleases();
    discoveryCalls = m.faults.Calls();
  }
  const std::string unownedRegistry = UnownedRegistry(pristine);
  const std::string unownedFiles = UnownedFiles(pristine);

  const Outcome sound = Install(0, false);
  ASSERT_EQ(sound.result, plat::kIdOk);
  ASSERT_TRUE(SaidDone(sound));
  ASSERT_FALSE(ToldSomethingFailed(sound));
  ASSERT_TRUE(sound.lostTrusted.empty());
  ASSERT_GT(sound.calls, 50u);
  EXPECT_EQ(sound.unownedFiles, unownedFiles);
  EXPECT_EQ(sound.unownedRegistry, unownedRegistry);

  std::size_t runs = 0, findings = 0;
  for (bool repeat : {false, true}) {
    for (std::size_t k = 1; k <= sound.calls; ++k) {
      const Outcome run = Install(k, repeat);
      ++runs;
      const std::string where = (repeat ? "from call " : "call ") + std::to_string(k) + " (" +
                                (run.failures.empty() ? std::string("-") : run.failures.front()) + ")";
      std::vector<std::string> found;
      if (run.openHandles != 0) found.push_back("handles left open");
      for (const std::string& lost : run.lostTrusted) found.push_back("trusted folder lost: " + lost);
      if (run.unownedRegistry != unownedRegistry) found.push_back("a key the installer does not own changed");
      if (run.unownedFiles != unownedFiles) found.push_back("a file the installer does not own changed");
      const bool incomplete = run.registry != sound.registry || Contents(run.files) != Contents(sound.files);
      const bool messageFailed =
          std::find(run.failures.begin(), run.failures.end(), "MessageBoxA") != run.failures.end();
      // A release whose keys could not be read looks not installed: the dialog
      // shows it so, and the installation covers what it showed.
      const bool inDiscovery = !repeat && k <= discoveryCalls;
      if (incomplete && !inDiscovery && SaidDone(run) && !ToldSomethingFailed(run) && !messageFailed)
        found.push_back("an incomplete installation was reported as complete");
      for (const std::string& f : found) ADD_FAILURE() << where << ": " << f;
      findings += found.size();
    }
  }
  std::printf("fault sweep: %zu runs over %zu calls of a sound installation, %zu findings\n", runs, sound.calls,
              findings);
}

}  // namespace
