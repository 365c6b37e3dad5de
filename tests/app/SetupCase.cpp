#include "tests/app/SetupCase.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "app/setupdlg/SetupDlg.h"
#include "app/setupdlg/res/resource.h"
#include "text/AnsiText.h"

namespace wt {
namespace {

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

// A line with what varies from run to run cut off after `marker`, and `stand` in its place.
void Cut(std::string& line, const std::string& marker, const char* stand) {
  const std::size_t at = line.find(marker);
  if (at != std::string::npos) line = line.substr(0, at + marker.size()) + stand;
}

std::string CaseFile(const std::string& name) {
  std::string path = "Z:" VM_CASES_DIR "/" + name + ".case";  // where the sources are: Wine's Z: is the root
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// `text` in UTF-8 with the paths of `product`, then of the sandbox, standing for themselves, and the i686 program's
// Wow6432Node folded into SOFTWARE (it finds AutoCAD 2008 there, and the dumps show keys past any redirection).
std::string Paths(std::string text, const std::string& product) {
  if (kWow64) ReplaceAll(text, "\\SOFTWARE\\Wow6432Node\\", "\\SOFTWARE\\");
  const std::string home = Sandbox::Folder();
  const std::pair<std::string, std::string> paths[] = {
      {product, "<product>"},
      {ansi::UpperAscii(product), "<PRODUCT>"},
      {product.rfind(home + "\\", 0) == 0 ? product.substr(home.size() + 1) : product, "<product>"},
      {home, "<box>"},
      {ansi::UpperAscii(home), "<BOX>"}};
  for (const auto& [path, stand] : paths) ReplaceAll(text, Utf8(Wide(path)), stand);
  return text;
}

std::string Message(std::string text) {
  ReplaceAll(text, "\n", "\\n");
  return Utf8(Wide(text)) + "\n";
}

}  // namespace

User InstallInto(const std::string& folder) {
  return [folder](HWND d) {
    ::SetWindowTextA(::GetDlgItem(d, IDC_PATH), folder.c_str());
    Click(d, IDC_INSTALL);
  };
}

std::intptr_t RunSetup(TestPlatform& os, CAcadSetup& acad, int bits, const User& user, std::size_t* discoveryCalls) {
  g_bCheckAcadRunning = true;  // as shipped
  return os.RunDialog(
      [&] {
        acad.DiscoverReleases();
        if (discoveryCalls != nullptr) *discoveryCalls = os.calls;
        Dlg_Setup dlg(os.platform, acad, 0, bits, kSetupVersion);
        return dlg.DoModal();
      },
      user);
}

RemovalReport RunRemoval(TestPlatform& os, int bits, const std::string& product) {
  CAcadSetup acad(os.platform, bits);
  acad.DiscoverReleases();
  return uninstall::CUninstaller(os.platform, acad, bits).Remove(product);
}

std::string Difference(const std::string& before, const std::string& after) {
  const auto lines = [](const std::string& dump) {
    std::multiset<std::string> set;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) set.insert(line);
    return set;
  };
  const std::multiset<std::string> a = lines(before), b = lines(after);
  std::string out;
  for (const std::string& line : a)
    if (b.count(line) < a.count(line)) out += "- " + line + "\n";
  for (const std::string& line : b)
    if (a.count(line) < b.count(line)) out += "+ " + line + "\n";
  return out;
}

std::string Snapshot(const Sandbox& box) { return box.DumpRegistry() + Utf8(Wide(Sandbox::DumpFiles())); }

std::string Changes(const std::string& before, const std::string& after, const std::string& product) {
  const auto normal = [&](const std::string& snapshot) {
    std::string text;
    std::istringstream in(snapshot);
    for (std::string line; std::getline(in, line);) {
      // What Wine's shell writes into the redirected hives the first time its browse window comes up.
      if (line.rfind("\\HKCU\\SOFTWARE\\Microsoft", 0) == 0 || line.find("\\Explorer") != std::string::npos ||
          line.find("\\Windows NT") != std::string::npos)
        continue;
      Cut(line, "\"EstimatedSize\"=dword:", "<size>");
      Cut(line, "Uninstall.dat ", "<record>");
      text += line + "\n";
    }
    return Paths(text, product);
  };
  return Difference(normal(before), normal(after));
}

std::string Shown(const TestPlatform& os, const std::string& product) {
  std::string shown;
  for (const MessageBoxCall& b : os.boxes) shown += Message("! " + b.caption + ": " + b.text);
  return Paths(shown, product);
}

std::string Reported(const RemovalReport& report, int bits, const std::string& product) {
  std::string told;
  for (const std::string& item : report.removed) told += Message("removed: " + item);
  for (const std::string& item : report.kept) told += Message("kept: " + item);
  for (const Failure& failure : report.failures) told += Message("failed: " + DescribeFailure(failure));
  return Paths(told + Message("! " + uninstall::ComposeClosingMessage(bits, report)), product);
}

void ExpectCase(const std::string& name, const std::string& transcript) {
  std::ifstream in(CaseFile(name), std::ios::binary);
  std::string heading, expected;
  for (std::string line; std::getline(in, line);) (line.rfind("# ", 0) == 0 ? heading : expected) += line + "\n";
  const char* write = std::getenv("VM_WRITE_CASES");
  if (write != nullptr && std::string(write) == "1") {
    std::ofstream(CaseFile(name), std::ios::binary) << heading << transcript;
    return;
  }
  EXPECT_EQ(transcript, expected) << name << ".case, what differs (- expected, + found):\n"
                                  << Difference(expected, transcript);
}

}  // namespace wt
