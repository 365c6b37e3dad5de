// The folder picker over the real shell browse window, acted on by the test's user from inside its modal loop; the
// folders are made on the real file system.
//
// Wine 8's browse window (old style: no BIF_NEWDIALOGSTYLE), as these tests found it: OK 1, Cancel 2, the title
// 0x3742, the status line 0x3743 and the tree 0x3741, the ids Windows uses, and nothing at 0x3744, so there
// GetDlgItem(browse, 14148) finds our edit box (a new-style dialog has a hidden label of its own at that id; the
// picker keeps the handle it created). After the callback's BFFM_SELCHANGED, Wine's dialog sends BFFM_ENABLEOK
// itself from the item's attributes; for drive folders and virtual items both agree.
#include "pathdialog/FolderValidation.h"
#include "pathdialog/PathDialog.h"
#include "tests/win/TestPlatform.h"

namespace {

const char* const kCaption = "请选择安装目录：";
// Where selection is tested, a folder that stays: Wine's browse window may find no tree item for a folder made a
// moment before, and select nothing (its listing of the parent was taken before the folder was there).
const std::string kSystem = "C:\\windows\\system32";

std::string Question(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

HWND EditOf(HWND browse) { return ::GetDlgItem(browse, CPathDialog::kEditBoxId); }  // ours, as said above
void Type(HWND browse, const std::string& text) { ::SetWindowTextA(EditOf(browse), text.c_str()); }
void PressOk(HWND browse) { ::SendMessageA(browse, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
bool OkEnabled(HWND browse) { return wt::IsEnabled(browse, IDOK); }

class PathDialogTest : public wt::MachineTest {
 protected:
  // Runs the picker from `initial` ("": the Tools folder, nullptr: none).
  int Run(const std::function<void(HWND)>& user, const char* initial = "") {
    os.browseUser = user;
    CPathDialog picker(os, os, kCaption, kCaption, initial && !*initial ? tools.c_str() : initial);
    const int result = picker.DoModal();
    pathName = picker.GetPathName();
    return result;
  }

  const std::string tools = box.Path("Tools");
  std::string pathName;
};

// Our edit box sits above the tree and shows the selected folder. Up the tree from the initial folder: its parents,
// the drive, and the drive's parent, the virtual computer item, which has no path: OK goes grey. Typing decides OK
// from then on: nothing typed, nothing to accept.
TEST_F(PathDialogTest, OurEditBoxAboveTheTreeFollowsTheSelectionAndTypingDrivesOk) {
  RECT tree{}, edit{};
  std::vector<std::string> shown;
  std::vector<bool> ok;
  bool statusShown = true;
  EXPECT_EQ(Run(
                [&](HWND browse) {
                  wt::WaitFor([&] { return wt::TextOf(EditOf(browse)) == kSystem; });
                  const HWND treeView = ::GetDlgItem(browse, 0x3741);
                  ::GetWindowRect(treeView, &tree);
                  ::GetWindowRect(EditOf(browse), &edit);
                  shown = {wt::TextOf(browse), wt::TextOf(EditOf(browse))};
                  statusShown = wt::IsShown(browse, 0x3743);
                  ok.push_back(OkEnabled(browse));
                  LPARAM item = ::SendMessageA(treeView, TVM_GETNEXTITEM, TVGN_CARET, 0);
                  for (int level = 0; level < 3 && item != 0; ++level) {
                    item = ::SendMessageA(treeView, TVM_GETNEXTITEM, TVGN_PARENT, item);
                    ::SendMessageA(treeView, TVM_SELECTITEM, TVGN_CARET, item);
                    shown.push_back(wt::TextOf(EditOf(browse)));
                    ok.push_back(OkEnabled(browse));
                  }
                  for (const char* typed : {"", "C"}) Type(browse, typed), ok.push_back(OkEnabled(browse));
                },
                kSystem.c_str()),
            -1);
  EXPECT_EQ(shown, (std::vector<std::string>{kCaption, kSystem, "C:\\windows", "C:\\", ""}));
  EXPECT_EQ(ok, (std::vector<bool>{true, true, true, false, false, true}));
  EXPECT_FALSE(statusShown);
  EXPECT_EQ(edit.left, tree.left);
  EXPECT_EQ(edit.right, tree.right);
  EXPECT_EQ(edit.top, tree.top - 27);
  EXPECT_EQ(edit.bottom, tree.top - 4);
}

TEST_F(PathDialogTest, OkAcceptsAnExistingFolderExactlyAsTyped) {
  EXPECT_EQ(Run([](HWND browse) {
              Type(browse, "c:\\Windows");
              PressOk(browse);
            }),
            1);
  EXPECT_EQ(pathName, "c:\\Windows");
  EXPECT_TRUE(os.boxes.empty());
}

TEST_F(PathDialogTest, AMissingFolderIsCreatedLevelByLevelOnlyAfterYes) {
  const std::string wanted = tools + "\\新\\Sub";
  bool stayed = false;
  os.answers = {IDNO, IDYES};
  EXPECT_EQ(Run([&](HWND browse) {
              Type(browse, wanted);
              PressOk(browse);  // No: the window stays, nothing made
              stayed = ::IsWindowVisible(browse) && ::GetFocus() == EditOf(browse) &&
                       ::GetFileAttributesA((tools + "\\新").c_str()) == INVALID_FILE_ATTRIBUTES;
              PressOk(browse);  // Yes
            }),
            1);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(pathName, wanted);
  ASSERT_EQ(os.boxes.size(), 2u);
  EXPECT_EQ(os.boxes[0].text, Question(wanted));
  EXPECT_EQ(os.boxes[0].caption, "SetUp") << "the program's file name";
  EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_NE(::GetFileAttributesA(wanted.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(PathDialogTest, InvalidOrUncreatableFoldersAreWarnedAndTheWindowStays) {
  std::vector<bool> stayed;
  const std::string cut = "C:\\" + std::string(255, 'a');  // 258 characters
  os.answers = {IDOK, IDYES, IDOK, IDNO};
  EXPECT_EQ(Run([&](HWND browse) {
              for (const std::string& typed : {tools + "\\", std::string("Q:\\Tools"), cut + "工具"}) {
                Type(browse, typed);
                PressOk(browse);
                stayed.push_back(::IsWindowVisible(browse) != FALSE);
              }
            }),
            -1);
  EXPECT_EQ(stayed, (std::vector<bool>{true, true, true}));
  ASSERT_EQ(os.boxes.size(), 4u);
  EXPECT_EQ(os.boxes[0].text, "The folder:\n\n" + tools + "\\\n\nis invalid. Please reenter.");
  EXPECT_EQ(os.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  // A drive that does not exist: asked, then it cannot be made.
  EXPECT_EQ(os.boxes[1].text, Question("Q:\\Tools"));
  EXPECT_EQ(os.boxes[2].text, "The folder:\n\nQ:\\Tools\n\ncan not be created. Please double check.");
  // The text is read up to 259 characters, as Windows counts them: 工 is the 259th.
  EXPECT_EQ(os.boxes[3].text, Question(cut + "工"));
}

// Without an initial folder the current one is selected. Cancel, or a browse window that does not come up: no folder.
TEST_F(PathDialogTest, WithoutAnInitialFolderTheCurrentOneCancelOrNoWindowGiveNoFolder) {
  ::SetCurrentDirectoryA("C:\\windows");
  std::string shown;
  EXPECT_EQ(Run(
                [&](HWND browse) {
                  wt::WaitFor([&] { return wt::TextOf(EditOf(browse)) == "C:\\windows"; });
                  shown = wt::TextOf(EditOf(browse));
                  Type(browse, "C:\\Windows");
                  ::SendMessageA(browse, WM_COMMAND, IDCANCEL, 0);
                },
                nullptr),
            -1);
  ::SetCurrentDirectoryA(box.Folder().c_str());
  EXPECT_EQ(shown, "C:\\windows");
  bool up = false;
  os.FailOn("BrowseForFolderA");
  EXPECT_EQ(Run([&](HWND) { up = true; }), -1);
  EXPECT_FALSE(up);
}

// Creating levels on the real disk: a file counts as existing; a level not made stops the walk, those before stay.
TEST_F(PathDialogTest, FolderCreationLevelByLevel) {
  box.Write(tools + "\\file", "x");
  EXPECT_EQ(ConfirmFolder(os, os, 0, "SetUp", tools + "\\file"), folder::kAccepted);
  EXPECT_TRUE(os.boxes.empty()) << "it exists: nothing to ask";
  EXPECT_EQ(CreateFolderPath(os, tools + "\\file\\c"), folder::kCannotCreate);
  os.FailOn("CreateDirectoryA", tools + "\\n1\\n2\\n3");
  EXPECT_EQ(CreateFolderPath(os, tools + "\\n1\\n2\\n3\\n4"), folder::kCannotCreate);
  os.StopFailing();
  EXPECT_NE(::GetFileAttributesA((tools + "\\n1\\n2").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(::GetFileAttributesA((tools + "\\n1\\n2\\n3").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(CreateFolderPath(os, "C:\\"), folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(os, "Q:\\"), folder::kCannotCreate);
  EXPECT_EQ(ApplicationName(os), "SetUp");
  os.FailOn("GetModuleFileNameA");
  EXPECT_EQ(ApplicationName(os), "");
  os.StopFailing();
}

}  // namespace
