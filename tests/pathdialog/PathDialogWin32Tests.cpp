// The folder picker over the real shell browse dialog (SHBrowseForFolderA of the
// Wine it runs on), driven from a second thread the way a user would: find the
// window, look at its controls, type into our edit box, press OK, answer the
// message boxes.
//
// What Wine 8's browse dialog (old style: no BIF_NEWDIALOGSTYLE) has, and how it
// differs from Windows, as these tests found it:
// - Controls: OK 1, Cancel 2, the title 0x3742, the status line 0x3743 and the
//   tree 0x3741 (SysTreeView32), the ids Windows uses. Nothing else: the label
//   "Folder:" 0x3744, the edit box 0x3745 and "Make New Folder" 0x3746 are only
//   in Wine's new-style template. So on this Wine GetDlgItem(browse, 14148)
//   finds our edit box; the picker keeps the handle it created all the same, as
//   a new-style or a future dialog would give GetDlgItem Wine's label first.
// - Placement (96 dpi, Xvfb): the tree's top is 160 and the title static runs to
//   136, so our edit box (133..156) covers the title's last 3 pixels; a short
//   title does not reach that far.
// - After the callback's BFFM_SELCHANGED, Wine's dialog sends BFFM_ENABLEOK
//   itself, from the item's file-system attributes, overriding the callback;
//   for drive folders and for virtual items both agree.
// - Ended by EndDialog(1) from our subclass (its own OK never ran),
//   SHBrowseForFolderW still returns its copy of the last selected item, which
//   the picker frees with the allocator.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "pathdialog/PathDialog.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32WindowSystem.h"

namespace {

const char* const kCaption = "请选择安装目录：";
const char* const kBase = "C:\\vm_pathdialog";
constexpr DWORD kPatienceMs = 20000;  // how long a step may take on a loaded machine

struct Control {
  int id = 0;
  std::string className;
  bool visible = false;
  RECT rect{};
  HWND handle = nullptr;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The top-level #32770 window of this process with that caption (or, with
// `ownedBy`, any such window owned by it), once visible.
HWND WaitForDialog(const char* caption, HWND ownedBy = nullptr) {
  struct Search {
    const char* caption;
    HWND ownedBy;
    HWND found;
  } search{caption, ownedBy, nullptr};
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kPatienceMs) {
    struct Visit {
      static BOOL CALLBACK Window(HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || ClassOf(w) != "#32770") return TRUE;
        if (s->ownedBy != nullptr ? GetWindow(w, GW_OWNER) == s->ownedBy : TextOf(w) == s->caption) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      }
    };
    EnumWindows(&Visit::Window, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(50);
  }
  return nullptr;
}

std::vector<Control> ControlsOf(HWND dialog) {
  std::vector<Control> controls;
  struct Visit {
    static BOOL CALLBACK Child(HWND w, LPARAM p) {
      Control c;
      c.handle = w;
      c.id = GetDlgCtrlID(w);
      c.className = ClassOf(w);
      c.visible = IsWindowVisible(w) != FALSE;
      GetWindowRect(w, &c.rect);
      reinterpret_cast<std::vector<Control>*>(p)->push_back(c);
      return TRUE;
    }
  };
  EnumChildWindows(dialog, &Visit::Child, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

// Our edit box: the visible EDIT child with id 14148.
const Control* OurEditBox(const std::vector<Control>& controls) {
  for (const Control& c : controls)
    if (c.id == 14148 && c.visible && lstrcmpiA(c.className.c_str(), "Edit") == 0) return &c;
  return nullptr;
}

// Waits until `window` is gone (the modal loop ended it).
bool WaitGone(HWND window) {
  const DWORD start = GetTickCount();
  while (IsWindow(window) && GetTickCount() - start < kPatienceMs) Sleep(50);
  return !IsWindow(window);
}

// Public: the helper thread's functions fill in what they saw.
class PathDialogWin32Test : public ::testing::Test {
 public:
  void SetUp() override {
    // Without a display Wine creates no windows: nothing here can run.
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) GTEST_SKIP() << "no display (run under xvfb-run)";
    DestroyWindow(probe);
    CreateDirectoryA(kBase, nullptr);
    CreateDirectoryA(Path("Tools").c_str(), nullptr);
    CreateDirectoryA(Path("Typed").c_str(), nullptr);
    RemoveDirectoryA(Path("New\\Sub").c_str());
    RemoveDirectoryA(Path("New").c_str());
  }

  static std::string Path(const char* below) { return std::string(kBase) + "\\" + below; }

  // Runs the picker on this thread while `user` acts on its window from another.
  int Run(const std::string& initial, void (*user)(HWND browse, PathDialogWin32Test& test)) {
    std::thread helper([&] {
      const HWND browse = WaitForDialog(kCaption);
      if (browse == nullptr) return;
      user(browse, *this);
      // Whatever the user did, the window must go, or the test would hang.
      if (IsWindow(browse)) PostMessageA(browse, WM_COMMAND, IDCANCEL, 0);
    });
    CPathDialog picker(windows, files, shell, kCaption, kCaption, initial.c_str());
    const int result = picker.DoModal();
    helper.join();
    pathName = picker.GetPathName();
    return result;
  }

  // Types into our edit box the way a program can from outside: WM_SETTEXT,
  // which makes the edit box send EN_CHANGE to the browse window.
  static void Type(HWND browse, const std::string& text) {
    const Control* edit = OurEditBox(ControlsOf(browse));
    if (edit != nullptr) SendMessageA(edit->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  static void PressOk(HWND browse) { PostMessageA(browse, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

  // The message box over the browse window: its text, then answered with `button`.
  static std::string Answer(HWND browse, int button) {
    const HWND box = WaitForDialog(nullptr, browse);
    if (box == nullptr) return "<no message box>";
    std::string text;  // the message: the longest static text of the box
    for (const Control& c : ControlsOf(box))
      if (lstrcmpiA(c.className.c_str(), "Static") == 0 && TextOf(c.handle).size() > text.size())
        text = TextOf(c.handle);
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitGone(box);
    return text;
  }

  w32::Win32WindowSystem windows;
  w32::Win32FileSystem files;
  w32::Win32Shell shell;
  std::string pathName;
  // What the helper saw, for the test to check after the window closed.
  std::vector<Control> seen;
  std::string editText, boxText, title;
  bool okEnabled = false, stayedOpen = false;
  std::vector<std::string> climbed;
  std::vector<bool> climbedOk;
  HWND dlgItem14148 = nullptr;
};

TEST_F(PathDialogWin32Test, BrowseWindowControlsAndOurEditBox) {
  const int result = Run(Path("Tools"), [](HWND browse, PathDialogWin32Test& t) {
    t.seen = ControlsOf(browse);
    t.title = TextOf(browse);
    t.dlgItem14148 = GetDlgItem(browse, 14148);
    if (const Control* edit = OurEditBox(t.seen)) t.editText = TextOf(edit->handle);
    t.okEnabled = IsWindowEnabled(GetDlgItem(browse, IDOK)) != FALSE;
  });
  EXPECT_EQ(result, -1);

  for (const Control& c : seen)
    std::printf("  control 0x%04X %-16s %s (%ld,%ld)-(%ld,%ld)\n", c.id, c.className.c_str(),
                c.visible ? "visible" : "hidden", c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
  auto find = [&](int id, const char* cls) -> const Control* {
    for (const Control& c : seen)
      if (c.id == id && lstrcmpiA(c.className.c_str(), cls) == 0) return &c;
    return nullptr;
  };
  const Control* tree = find(0x3741, "SysTreeView32");
  const Control* status = find(0x3743, "Static");
  const Control* edit = OurEditBox(seen);
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(status, nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_FALSE(status->visible);
  EXPECT_EQ(edit->rect.left, tree->rect.left);
  EXPECT_EQ(edit->rect.right, tree->rect.right);
  EXPECT_EQ(edit->rect.top, tree->rect.top - 27);
  EXPECT_EQ(edit->rect.bottom, tree->rect.top - 4);
  EXPECT_EQ(title, kCaption);
  EXPECT_EQ(editText, Path("Tools")) << "the initial folder is selected and shown";
  EXPECT_TRUE(okEnabled);
  // A dialog with a control of its own at 0x3744 (Wine's new-style label) gives
  // GetDlgItem that one; the old-style dialog has none, so it finds ours.
  const Control* shellLabel = find(0x3744, "Static");
  if (shellLabel != nullptr) {
    EXPECT_FALSE(shellLabel->visible);
    EXPECT_EQ(dlgItem14148, shellLabel->handle);
  } else {
    EXPECT_EQ(dlgItem14148, edit->handle);
  }
}

// Climbs the tree from the initial folder: its parent folder, the drive, and the
// drive's parent, the virtual "My Computer" (named in the prefix's language).
TEST_F(PathDialogWin32Test, SelectingInTheTreeFillsOrEmptiesTheEditBox) {
  Run(Path("Tools"), [](HWND browse, PathDialogWin32Test& t) {
    const HWND tree = GetDlgItem(browse, 0x3741);
    const Control* edit = OurEditBox(ControlsOf(browse));
    if (tree == nullptr || edit == nullptr) return;
    LPARAM item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    for (int level = 0; level < 3 && item != 0; ++level) {
      item = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, item);
      SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, item);
      t.climbed.push_back(TextOf(edit->handle));
      t.climbedOk.push_back(IsWindowEnabled(GetDlgItem(browse, IDOK)) != FALSE);
    }
    Type(browse, "");
    t.climbedOk.push_back(IsWindowEnabled(GetDlgItem(browse, IDOK)) != FALSE);
    Type(browse, "C");
    t.climbedOk.push_back(IsWindowEnabled(GetDlgItem(browse, IDOK)) != FALSE);
  });
  EXPECT_EQ(climbed, (std::vector<std::string>{kBase, "C:\\", ""}));
  EXPECT_EQ(climbedOk, (std::vector<bool>{true, true, false, false, true}));
}

TEST_F(PathDialogWin32Test, TypedExistingFolderIsAccepted) {
  const int result = Run(Path("Tools"), [](HWND browse, PathDialogWin32Test&) {
    Type(browse, Path("Typed"));
    PressOk(browse);
    WaitGone(browse);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(pathName, Path("Typed"));
}

TEST_F(PathDialogWin32Test, MissingFolderIsCreatedAfterYes) {
  const int result = Run(Path("Tools"), [](HWND browse, PathDialogWin32Test& t) {
    Type(browse, Path("New\\Sub"));
    PressOk(browse);
    t.boxText = Answer(browse, IDYES);
    WaitGone(browse);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(pathName, Path("New\\Sub"));
  EXPECT_EQ(boxText,
            "The folder:\n\n" + Path("New\\Sub") + "\n\ndoes not exist. Do you want the folder to be created?");
  const DWORD attributes = GetFileAttributesA(Path("New\\Sub").c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(PathDialogWin32Test, InvalidFolderIsWarnedAndTheWindowStays) {
  const int result = Run(Path("Tools"), [](HWND browse, PathDialogWin32Test& t) {
    Type(browse, Path("Tools\\"));
    PressOk(browse);
    t.boxText = Answer(browse, IDOK);
    Sleep(100);  // give a wrongly closing window the chance to go
    t.stayedOpen = IsWindow(browse) && IsWindowVisible(browse);
  });
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(boxText, "The folder:\n\n" + Path("Tools\\") + "\n\nis invalid. Please reenter.");
}

TEST_F(PathDialogWin32Test, CancelReturnsMinusOne) {
  const int result = Run(Path("Tools"), [](HWND browse, PathDialogWin32Test&) {
    Type(browse, Path("Typed"));
    PostMessageA(browse, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitGone(browse);
  });
  EXPECT_EQ(result, -1);
}

}  // namespace
