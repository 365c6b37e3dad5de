// The real dialog's browse and install buttons end to end in one process: AutoCAD 2008 and 2016 in the scratch
// registry and folders, the package beside the program, and what a user sees and finds.
#include "app/setupdlg/SetupDlg.h"
#include "app/setupdlg/res/resource.h"
#include "app/uninstall/UninstallEntry.h"
#include "tests/app/SetupCase.h"

namespace {

const std::wstring k2008 = L"SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804";
const std::wstring k2016 = L"SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804";
const std::wstring kProfile =
    L"SOFTWARE\\Autodesk\\AutoCAD\\R20.1\\ACAD-F001:804\\Profiles\\<<Unnamed Profile>>\\Variables";
const std::string kDone = "Vellmark-工具箱安装: 安装完成，重启CAD即可使用 !";
const std::string kInvalid = "Vellmark-软件安装: 安装路径无效，请重新选择安装路径 !";
const std::string kWarning = "Vellmark-软件安装: ";
const std::string kImport =
    "Vellmark-工具箱安装: 若要导入早期版本（2024年版本及更早版本）的设置，可点击:\n\n [软件设置] -> [设置导出导入] -> "
    "[早期版本设置导入]";
const char* const kPackage[] = {"Kavtor2015.ARX", "Kavtor2008.ARX", "ACAD2013.dll",
                                "ACAD2007.dll",   "Kavtor.prt5",    "说明.txt"};

class InstallTest : public wt::MachineTest {
 protected:
  void SetUp() override {
    g_bCheckAcadRunning = true;
    for (const char* name : kPackage) box.Write(box.Path("Data\\") + name, std::string("new ") + name);
    // A read-only package file on a share that keeps its bit (the failure stand-in refuses to clear it): the copy
    // comes read-only, and the product folder's file must not stay so.
    ::SetFileAttributesA(box.Path("Data\\说明.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    os.FailOn("SetFileAttributesA", box.Path("Data\\说明.txt"));
    for (const char* font : {"Kavtor_EN.shx", "Kavtor_HZ.shx"}) box.Write(box.Path("Data\\") + font, font);
    box.AddAcad(k2008, a2008, L"AutoCAD 2008");
    box.AddAcad(k2016, a2016, L"AutoCAD 2016");
    box.Set(HKEY_CURRENT_USER, kProfile, L"TRUSTEDPATHS", L"D:\\Mine\\...");
    box.AddKey(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::kUninstallKey));  // as every Windows has it
  }

  // The dialog run with `user` acting on it; every message box is owned by the dialog, which it disables.
  std::intptr_t Run(const wt::User& user) {
    before = wt::Snapshot(box);
    HWND dialog = nullptr;
    const std::intptr_t result = wt::RunSetup(os, acad, 32, [&](HWND d) { user(dialog = d); });
    for (const wt::MessageBoxCall& b : os.boxes) EXPECT_EQ(b.owner, dialog) << b.text;
    return result;
  }
  // The message boxes shown, as "caption: text".
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const wt::MessageBoxCall& b : os.boxes) shown.push_back(b.caption + ": " + b.text);
    return shown;
  }
  // The machine changed, and the user told, as the case's data says, the product folder's path aside.
  void ExpectCase(const std::string& name, const std::string& product) {
    wt::ExpectCase(name, wt::Changes(before, wt::Snapshot(box), product) + wt::Shown(os, product));
  }

  CAcadSetup acad{os.platform};
  const std::string a2008 = box.Path("AutoCAD 2008"), a2016 = box.Path("AutoCAD 2016");
  const std::string target = box.Path("Tools");
  std::string before;  // the machine as the dialog came up
};

// The progress bar takes the folder row's place, runs 0..50 and is full at the first completion message.
TEST_F(InstallTest, TheWholeInstallationThenTwoMessagesThenOk) {
  ::CreateDirectoryA(target.c_str(), nullptr);  // as the picker's folder is
  std::vector<int> seen;  // the folder row's three controls shown, the bar shown, its position and range
  os.onBox = [&](const wt::MessageBoxCall& b) {
    const auto shown = [&](int id) { return static_cast<int>(wt::IsShown(b.owner, id)); };
    const HWND bar = ::GetDlgItem(b.owner, IDC_PROGRESS);
    PBRANGE range{};
    ::SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    if (seen.empty())
      seen = {shown(IDC_PATH),
              shown(IDC_BROWSE),
              shown(IDC_PATH_LABEL),
              shown(IDC_PROGRESS),
              static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0)),
              range.iLow,
              range.iHigh};
  };
  // Then a step as each part begins: the registration, AutoCAD's files, the uninstaller.
  std::vector<int> begun;
  HWND bar = nullptr;
  os.onCall = [&](const char* operation, const std::string& subject) {
    const bool begins = begun.empty()       ? std::string(operation) == "RegOpenKeyA" && bar != nullptr
                        : begun.size() == 1 ? subject.find("\\Fonts\\") != std::string::npos
                                            : subject.find("Uninstall.exe") != std::string::npos;
    if (begins && begun.size() < 3) begun.push_back(static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0)));
  };
  EXPECT_EQ(Run([&](HWND d) {
              bar = ::GetDlgItem(d, IDC_PROGRESS);
              wt::InstallInto(target + "\\")(d);
            }),
            IDOK)
      << "one trailing backslash dropped";
  os.onCall = nullptr;
  // The package's 8 files, "." and "..", and the step that finds the listing exhausted.
  EXPECT_EQ(begun, (std::vector<int>{12, 13, 14}));
  ExpectCase("install", target + "\\Vellmark");
  // The uninstaller is this very program; Apps & Features' estimate counts it at least.
  const std::string uninstaller = box.Read(target + "\\Vellmark\\Uninstall.exe").value_or("");
  EXPECT_EQ(uninstaller, box.Read(box.Path("SetUp.exe")));
  DWORD type = 0;
  const std::wstring size =
      box.Get(HKEY_LOCAL_MACHINE, wt::Wide(uninstall::EntryKey(32)), L"EstimatedSize", &type).value_or(L"");
  ASSERT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_GE(size[0] | size[1] << 16, uninstaller.size() / 1024) << "KiB";
  EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 1, 50, 0, 50}));
}

// Refused before anything is made, the dialog staying as it was: a running AutoCAD (once), empty, relative, invalid
// folders, one leaving no room for the package's names. Counted in characters, a Chinese folder of more bytes fits.
TEST_F(InstallTest, RefusalsComeBeforeAnythingIsMade) {
  box.Run("ACAD.EXE");
  const std::string tooLong = box.Path(std::string(240 - box.Folder().size(), 'x'));
  std::string chinese = box.Path("");
  while (wt::Wide(chinese).size() < 150) chinese += "结构";
  const std::string files = box.DumpFiles(), registry = box.DumpRegistry();
  const char* const bad[] = {"", "Tools", "\\Tools", "D:Tools", "D:\\a|b", "D:\\a\\ b", "\\\\server"};
  EXPECT_EQ(Run([&](HWND d) {
              wt::InstallInto(target)(d);
              for (const char* folder : bad) wt::InstallInto(folder)(d);
              wt::InstallInto(tooLong)(d);
              EXPECT_TRUE(::IsWindowVisible(d) && wt::IsShown(d, IDC_PATH)) << "still choosing";
              EXPECT_EQ(box.DumpFiles(), files);
              EXPECT_EQ(box.DumpRegistry(), registry);
              wt::InstallInto(chinese)(d);
            }),
            IDOK);
  std::vector<std::string> told(11, kInvalid);
  told[0] = kWarning + "请关闭AutoCAD后再进行安装 !";
  told[8] = kWarning + "安装路径过长：\n\n" + tooLong + "\\Vellmark\n\n请选择较短的安装路径后重新安装 !";
  told[9] = kDone;
  told[10] = kImport;
  EXPECT_EQ(Shown(), told);
  // The dump's file names are read with the ANSI calls, which cut this folder's: its registration shows it.
  const std::wstring loader =
      box.Get(HKEY_LOCAL_MACHINE, k2016 + L"\\Applications\\Kavtor2016", L"LOADER").value_or(L"");
  EXPECT_EQ(wt::Ansi(loader), chinese + "\\Vellmark\\Kavtor2015.ARX");
}

// A folder whose parent is missing, and a network folder (the picker alone keeps the drive-letter rule) on a
// server that is not there: the copy asks about the first file, and Abort ends with nothing registered.
TEST_F(InstallTest, ACopyThatCannotStartAsksAndAbortRegistersNothing) {
  const std::string registry = box.DumpRegistry();
  for (const std::string& folder : {box.Path("Missing\\Deep"), std::string("\\\\vmserver\\share\\Tools")}) {
    os.boxes.clear();
    os.answers = {IDABORT};
    EXPECT_EQ(Run(wt::InstallInto(folder)), IDCANCEL);
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_NE(os.boxes[0].text.find(folder + "\\Vellmark\\"), std::string::npos);
    EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_ABORTRETRYIGNORE));
  }
  EXPECT_EQ(box.DumpRegistry(), registry);
  EXPECT_EQ(::GetFileAttributesA(box.Path("Missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

// "Data" must be a folder: a file of that name is no package.
TEST_F(InstallTest, NoPackageTellsTheUserEndsAndRegistersNothing) {
  wt::RemoveAll(box.Path("Data"));
  box.Write(box.Path("Data"), "a file, not a folder");
  EXPECT_EQ(Run(wt::InstallInto(target)), IDCANCEL);
  ExpectCase("install-no-package", target + "\\Vellmark");  // told before anything is made
  EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_OK));
}

// The files beside the program with the marker, unpacked into the very product folder: left in place, no question.
TEST_F(InstallTest, APackageUnpackedIntoTheProductFolderStaysInPlace) {
  wt::RemoveAll(box.Path("Data"));
  box.Write(box.Path("Kavtor2010.arx"), "marker");
  box.Write(box.Path("Kavtor2015.ARX"), "module", FILE_ATTRIBUTE_READONLY);
  const std::string home = box.Folder();
  EXPECT_EQ(Run(wt::InstallInto(home.substr(0, home.rfind('\\')))), IDOK);
  ExpectCase("install-in-place", home);
}

// An installation of which anything failed is never called complete: one message says what failed and how to finish,
// and the rest is done and can be removed. A folder at a font's place refuses the copy as Windows does a file of
// AutoCAD's folder that this user may not write (ERROR_ACCESS_DENIED; Wine as root ignores permissions).
TEST_F(InstallTest, AnIncompleteInstallationSaysWhatFailedAndIsNotCalledComplete) {
  ::CreateDirectoryA((a2008 + "\\Fonts\\Kavtor_EN.shx").c_str(), nullptr);
  EXPECT_EQ(Run(wt::InstallInto(target)), IDOK);
  const std::string refused = "\n无法复制文件 " + a2008 + "\\Fonts\\Kavtor_EN.shx（错误 5）";
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{
                kWarning + "安装未完成！以下项目未成功：" + refused + (wt::kWow64 ? refused : "") +
                "\n\n请关闭AutoCAD，右键单击SetUp.exe，选择“以管理员身份运行”，再安装一次即可完成安装（重复安装是"
                "安全的）。"}));
  // The message is its own check: the i686 program finds AutoCAD 2008 twice under WOW64, and tells its failure twice.
  wt::ExpectCase("install-incomplete", wt::Changes(before, wt::Snapshot(box), target + "\\Vellmark"));
}

// A standard user is told before anything is made (the dialog still choosing) what they may not write: the install
// folder (neither a file nor a folder may be made where it would go), the Apps & Features entry, the ticked
// installations' keys and folders. Where only folders may be made (C:\ to a standard user), the install folder is
// no refusal. Unticking the refused release then installs the others. Wine runs everything as an administrator and
// its registry has no access rules, so the refusals are Windows' answers to a standard user, ERROR_ACCESS_DENIED,
// from the failure stand-in.
TEST_F(InstallTest, AStandardUserIsToldUpFrontAndUntickingTheRefusedReleaseHelps) {
  const std::string files = box.DumpFiles(), registry = box.DumpRegistry(), probe = box.Path("~vellmark-probe.tmp");
  EXPECT_EQ(Run([&](HWND d) {
              // Once discovery has found 2016: its key is no standard user's to write, but to read.
              for (const char* call : {"CreateTemporaryFileA", "CreateDirectoryA"}) os.FailOn(call, probe);
              os.FailOn("RegOpenKeyExA", uninstall::kUninstallKey);
              os.FailOn("RegOpenKeyExA", wt::Ansi(k2016));
              os.FailOn("CreateTemporaryFileA", a2016 + "\\Fonts\\");
              wt::InstallInto(target)(d);
              os.StopFailing();
              os.FailOn("CreateTemporaryFileA", probe);
              os.FailOn("RegOpenKeyExA", wt::Ansi(k2016));
              wt::Click(d, IDC_INSTALL);
              EXPECT_TRUE(::IsWindowVisible(d) && wt::IsShown(d, IDC_PATH)) << "still choosing";
              EXPECT_EQ(box.DumpFiles(), files);
              EXPECT_EQ(box.DumpRegistry(), registry);
              wt::Click(d, setupdlg::kReleaseBoxes[acad::ReleaseIndex(2016)]);
              wt::Click(d, IDC_INSTALL);
            }),
            IDOK);
  ExpectCase("install-without-2016", target + "\\Vellmark");
}

// The picker starts at the edit box's folder; an accepted folder comes back into it, a cancelled one changes nothing.
TEST_F(InstallTest, BrowseTakesTheAcceptedFolderAndCancelKeepsTheOld) {
  const std::string picked = box.Path("Picked");
  ::CreateDirectoryA(picked.c_str(), nullptr);
  std::string startedAt;
  int browsed = 0;
  bool owned = false;
  os.browseUser = [&](HWND browse) {
    const HWND owner = ::GetWindow(browse, GW_OWNER);
    owned = owner != nullptr && !::IsWindowEnabled(owner) && wt::IsShown(owner, IDC_INSTALL);
    if (++browsed > 1) return;  // the second time the user cancels
    wt::WaitFor([&] { return wt::TextOf(::GetDlgItem(browse, 14148)) == "C:\\windows"; });
    startedAt = wt::TextOf(::GetDlgItem(browse, 14148));  // our edit box in Wine's browse window
    ::SetWindowTextA(::GetDlgItem(browse, 14148), picked.c_str());
    ::SendMessageA(browse, WM_COMMAND, IDOK, 0);
  };
  std::vector<std::string> shown;
  EXPECT_EQ(Run([&](HWND d) {
              ::SetWindowTextA(::GetDlgItem(d, IDC_PATH), "C:\\windows");
              for (int i = 0; i < 2; ++i) {
                wt::Click(d, IDC_BROWSE);
                shown.push_back(wt::TextOf(::GetDlgItem(d, IDC_PATH)));
              }
              wt::Click(d, IDC_INSTALL);
            }),
            IDOK);
  EXPECT_EQ(startedAt, "C:\\windows");
  EXPECT_TRUE(owned) << "the browse window is owned by the dialog, which it disables";
  EXPECT_EQ(shown, (std::vector<std::string>{picked, picked}));
  ExpectCase("install", picked + "\\Vellmark");
}

}  // namespace
