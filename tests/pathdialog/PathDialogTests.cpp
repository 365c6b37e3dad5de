// The folder picker over the in-memory shell: the edit box it puts on the browse
// window, how selection and typing drive the edit box and OK, and what OK does
// with the typed folder.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pathdialog/PathDialog.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryShell.h"
#include "platform/memory/MemoryWindows.h"

namespace {

const char* const kCaption = "请选择安装目录：";
const char* const kTitle = "请选择安装目录：";
const std::vector<std::uint32_t> kOpenedAndSelected{plat::kBffmInitialized, plat::kBffmSelChanged};

std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }
std::string Question(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}
std::string CannotCreate(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

// Answers every dialog message with "not handled", like an empty dialog procedure.
struct EmptyDialog : plat::IDialogHost {
  plat::LResult HandleDialogMessage(plat::HWnd, std::uint32_t, plat::WParam, plat::LParam) override { return 0; }
};

class PathDialogTest : public ::testing::Test {
 protected:
  PathDialogTest() : files(faults), windows(faults), shell(faults, windows, files) {
    files.AddDrive('D');
    files.AddFolder("D:\\Tools");
    files.AddFolder("C:\\Kavtor");
    files.AddFile("C:\\readme.txt", "text");
    files.SetModulePath("D:\\Downloads\\SetUp.exe");
    shell.AddNetworkFolder("\\\\server\\share");
  }

  // Whatever a test did, the picker gave back every item list and the allocator.
  void TearDown() override {
    EXPECT_EQ(shell.LiveItemLists(), 0u);
    EXPECT_EQ(shell.Misuses(), 0u);
    EXPECT_EQ(shell.MallocReferences(), 0);
    EXPECT_EQ(windows.UnscriptedMessageBoxes(), 0u);
  }

  int Run(const char* initialPath, std::function<void(mem::BrowseUser&)> user, plat::HWnd parent = 0) {
    if (user) shell.QueueUser(std::move(user));
    CPathDialog picker(windows, files, shell, kCaption, kTitle, initialPath, parent);
    const int result = picker.DoModal();
    pathName = picker.GetPathName();
    return result;
  }

  const mem::MessageBoxCall& OnlyMessageBox() const {
    EXPECT_EQ(windows.MessageBoxes().size(), 1u);
    return windows.MessageBoxes().front();
  }

  mem::FaultInjector faults;
  mem::MemoryFileSystem files;
  mem::MemoryWindows windows;
  mem::MemoryShell shell;
  std::string pathName;
};

// ---- the browse window as the picker arranges it ----

TEST_F(PathDialogTest, EditBoxSitsJustAboveTheTreeWithTheWindowsFont) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    const mem::Window* edit = user.EditBox();
    const mem::Window* tree = user.Control(plat::kBrowseTreeId);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->rect.left, tree->rect.left);
    EXPECT_EQ(edit->rect.right, tree->rect.right);
    EXPECT_EQ(edit->rect.top, tree->rect.top - 27);
    EXPECT_EQ(edit->rect.bottom, tree->rect.top - 4);
    EXPECT_EQ(edit->parent, user.Window());
    EXPECT_EQ(edit->id, 14148);
    EXPECT_EQ(edit->className, "EDIT");
    EXPECT_EQ(edit->style, 0x50010080u);
    EXPECT_EQ(edit->exStyle, 0x200u);
    EXPECT_TRUE(edit->visible);
    EXPECT_EQ(edit->font, windows.Find(user.Window())->font);
  });
}

TEST_F(PathDialogTest, CaptionTitleAndHiddenStatusLine) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    EXPECT_EQ(windows.Find(user.Window())->text, kCaption);
    EXPECT_EQ(user.Control(plat::kBrowseTitleId)->text, kTitle);
    EXPECT_TRUE(user.Control(plat::kBrowseTitleId)->visible);
    EXPECT_FALSE(user.Control(plat::kBrowseStatusId)->visible);
  });
}

TEST_F(PathDialogTest, NoCaptionKeepsTheShellsOwn) {
  CPathDialog picker(windows, files, shell, nullptr, kTitle, "D:\\Tools");
  picker.DoModal();
  EXPECT_EQ(windows.Find(shell.LastBrowseWindow())->text, "Browse For Folder");
}

TEST_F(PathDialogTest, OwnerIsTheParentOrElseTheActiveWindow) {
  Run("D:\\Tools", nullptr, 0x777);
  EXPECT_EQ(windows.Find(shell.LastBrowseWindow())->parent, 0x777u);

  Run("D:\\Tools", nullptr);
  EXPECT_EQ(windows.Find(shell.LastBrowseWindow())->parent, 0u) << "no window is active";

  // From a button of a running dialog: that dialog is the active window.
  windows.AddDialogTemplate(7, mem::DialogTemplate{});
  EmptyDialog host;
  plat::HWnd setupDialog = 0;
  windows.QueueUser([&](mem::DialogUser& user) {
    setupDialog = user.Dialog();
    Run("D:\\Tools", nullptr);
  });
  windows.DialogBoxParamA(7, 0, &host);
  ASSERT_NE(setupDialog, 0u);
  EXPECT_EQ(windows.Find(shell.LastBrowseWindow())->parent, setupDialog);
}

TEST_F(PathDialogTest, InitialFolderIsSelectedAndShown) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    EXPECT_EQ(user.Selected(), "D:\\Tools");
    EXPECT_EQ(user.EditText(), "D:\\Tools");
    EXPECT_TRUE(user.OkEnabled());
  });
  EXPECT_EQ(shell.CallbackMessages(), kOpenedAndSelected);
}

TEST_F(PathDialogTest, WithoutInitialFolderTheCurrentDirectoryIsSelected) {
  ASSERT_TRUE(files.SetCurrentDir("C:\\Kavtor"));
  Run(nullptr, [&](mem::BrowseUser& user) {
    EXPECT_EQ(user.Selected(), "C:\\Kavtor");
    EXPECT_EQ(user.EditText(), "C:\\Kavtor");
  });
}

TEST_F(PathDialogTest, MissingInitialFolderSelectsNothing) {
  Run("D:\\Nowhere", [&](mem::BrowseUser& user) {
    EXPECT_EQ(user.Selected(), "");
    EXPECT_EQ(user.EditText(), "");
  });
  EXPECT_EQ(shell.CallbackMessages(), std::vector<std::uint32_t>{plat::kBffmInitialized});
}

// ---- selection and typing ----

TEST_F(PathDialogTest, ClickingAFolderFillsTheEditBoxAndEnablesOk) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    ASSERT_TRUE(user.Select("Computer"));
    ASSERT_FALSE(user.OkEnabled());
    ASSERT_TRUE(user.Select("C:\\Kavtor"));
    EXPECT_EQ(user.EditText(), "C:\\Kavtor");
    EXPECT_TRUE(user.OkEnabled());
    ASSERT_TRUE(user.Select("C:\\"));
    EXPECT_EQ(user.EditText(), "C:\\");
  });
}

TEST_F(PathDialogTest, VirtualOrNetworkItemEmptiesTheEditBoxAndDisablesOk) {
  for (const char* item : {"Computer", "Desktop", "Network", "\\\\server\\share"}) {
    Run("D:\\Tools", [&](mem::BrowseUser& user) {
      ASSERT_TRUE(user.Select(item)) << item;
      EXPECT_EQ(user.EditText(), "") << item;
      EXPECT_FALSE(user.OkEnabled()) << item;
      user.ClickOk();  // a disabled button does not click
      EXPECT_FALSE(user.Ended()) << item;
    });
  }
  EXPECT_TRUE(windows.MessageBoxes().empty());
}

TEST_F(PathDialogTest, FailedPathConversionCountsAsNoPath) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    faults.FailOperation("SHGetPathFromIDListA");
    ASSERT_TRUE(user.Select("C:\\Kavtor"));
    EXPECT_EQ(user.EditText(), "");
    EXPECT_FALSE(user.OkEnabled());
  });
}

TEST_F(PathDialogTest, EmptyingTheEditBoxDisablesOkAndOneCharacterEnablesIt) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    ASSERT_TRUE(user.TypeInEditBox(""));
    EXPECT_FALSE(user.OkEnabled());
    ASSERT_TRUE(user.TypeInEditBox("D"));
    EXPECT_TRUE(user.OkEnabled());
  });
}

TEST_F(PathDialogTest, TypingEnablesOkAfterAVirtualItemDisabledIt) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    user.Select("Computer");
    ASSERT_TRUE(user.TypeInEditBox("D:\\Tools"));
    EXPECT_TRUE(user.OkEnabled());
  });
}

TEST_F(PathDialogTest, SelectingAfterTypingReplacesTheText) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    user.TypeInEditBox("D:\\Typed\\Path");
    ASSERT_TRUE(user.Select("C:\\Kavtor"));
    EXPECT_EQ(user.EditText(), "C:\\Kavtor");
    user.ClickOk();
  });
  EXPECT_EQ(pathName, "C:\\Kavtor");
}

// ---- OK ----

TEST_F(PathDialogTest, OkWithAnExistingFolderReturnsExactlyTheTypedText) {
  for (const char* typed : {"D:\\Tools", "d:\\tools", "C:\\", "C:\\readme.txt"}) {
    EXPECT_EQ(Run("D:\\Tools",
                  [&](mem::BrowseUser& user) {
                    user.TypeInEditBox(typed);
                    user.ClickOk();
                    EXPECT_TRUE(user.Ended());
                  }),
              1)
        << typed;
    EXPECT_EQ(pathName, typed);
  }
  EXPECT_TRUE(windows.MessageBoxes().empty());
}

TEST_F(PathDialogTest, OkOnTheSelectedFolderAcceptsIt) {
  EXPECT_EQ(Run("D:\\Tools", [](mem::BrowseUser& user) { user.ClickOk(); }), 1);
  EXPECT_EQ(pathName, "D:\\Tools");
}

TEST_F(PathDialogTest, OkWithAnInvalidPathWarnsAndStaysOpen) {
  for (const char* typed : {"C:\\Tools\\", "C:/Tools", "Tools", "C:\\a..\\b", "C:\\ b", "\\\\server\\share"}) {
    const std::size_t before = windows.MessageBoxes().size();
    EXPECT_EQ(Run("D:\\Tools",
                  [&](mem::BrowseUser& user) {
                    user.TypeInEditBox(typed);
                    user.ClickOk();
                    EXPECT_FALSE(user.Ended()) << typed;
                    EXPECT_EQ(windows.Focus(), user.EditBox()->handle) << typed;
                    user.ClickCancel();
                  }),
              -1)
        << typed;
    ASSERT_EQ(windows.MessageBoxes().size(), before + 1) << typed;
    const mem::MessageBoxCall& box = windows.MessageBoxes().back();
    EXPECT_EQ(box.text, Invalid(typed));
    EXPECT_EQ(box.caption, "SetUp");
    EXPECT_EQ(box.type, 0x30u);
    EXPECT_EQ(box.owner, shell.LastBrowseWindow());
  }
}

TEST_F(PathDialogTest, MissingFolderYesCreatesTheLevelsAndCloses) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Run("D:\\Tools",
                [](mem::BrowseUser& user) {
                  user.TypeInEditBox("D:\\Tools\\New\\Sub");
                  user.ClickOk();
                }),
            1);
  EXPECT_EQ(pathName, "D:\\Tools\\New\\Sub");
  const mem::MessageBoxCall& box = OnlyMessageBox();
  EXPECT_EQ(box.text, Question("D:\\Tools\\New\\Sub"));
  EXPECT_EQ(box.type, 0x24u);
  EXPECT_EQ(box.caption, "SetUp");
  EXPECT_EQ(box.owner, shell.LastBrowseWindow());
  EXPECT_TRUE(files.Exists("D:\\Tools\\New\\Sub"));
}

TEST_F(PathDialogTest, MissingFolderNoKeepsTheWindowOpenAndCreatesNothing) {
  const std::string before = files.ListAll();
  windows.QueueMessageBoxAnswer(plat::kIdNo);
  EXPECT_EQ(Run("D:\\Tools",
                [&](mem::BrowseUser& user) {
                  user.TypeInEditBox("D:\\Tools\\New");
                  user.ClickOk();
                  EXPECT_FALSE(user.Ended());
                  EXPECT_EQ(windows.Focus(), user.EditBox()->handle);
                }),
            -1);
  EXPECT_EQ(OnlyMessageBox().text, Question("D:\\Tools\\New"));
  EXPECT_EQ(files.ListAll(), before);
}

TEST_F(PathDialogTest, DeclinedThenAcceptedOnTheSecondTry) {
  windows.QueueMessageBoxAnswer(plat::kIdNo);
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Run("D:\\Tools",
                [](mem::BrowseUser& user) {
                  user.TypeInEditBox("D:\\New");
                  user.ClickOk();
                  user.ClickOk();
                }),
            1);
  EXPECT_EQ(windows.MessageBoxes().size(), 2u);
  EXPECT_TRUE(files.Exists("D:\\New"));
}

TEST_F(PathDialogTest, MissingDriveIsAskedThenCannotBeCreated) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Run("D:\\Tools",
                [](mem::BrowseUser& user) {
                  user.TypeInEditBox("Q:\\Vellmark");
                  user.ClickOk();
                  EXPECT_FALSE(user.Ended());
                }),
            -1);
  ASSERT_EQ(windows.MessageBoxes().size(), 2u);
  EXPECT_EQ(windows.MessageBoxes()[0].text, Question("Q:\\Vellmark"));
  EXPECT_EQ(windows.MessageBoxes()[1].text, CannotCreate("Q:\\Vellmark"));
  EXPECT_EQ(windows.MessageBoxes()[1].owner, shell.LastBrowseWindow());
}

TEST_F(PathDialogTest, OverlongTextIsCutBeforeAHalfCharacter) {
  // 258 bytes of path, then a double-byte character that would end at byte 260.
  const std::string head = "D:\\" + std::string(255, 'a');
  ASSERT_EQ(head.size(), 258u);
  windows.QueueMessageBoxAnswer(plat::kIdNo);
  Run("D:\\Tools", [&](mem::BrowseUser& user) {
    user.TypeInEditBox(head + "工具");
    user.ClickOk();
  });
  EXPECT_EQ(OnlyMessageBox().text, Question(head));
}

// ---- leaving without a folder ----

TEST_F(PathDialogTest, CancelOrCloseBoxReturnsMinusOneAndChangesNothing) {
  const std::string before = files.ListAll();
  EXPECT_EQ(Run("D:\\Tools",
                [](mem::BrowseUser& user) {
                  user.TypeInEditBox("D:\\Elsewhere");
                  user.ClickCancel();
                }),
            -1);
  EXPECT_EQ(Run("D:\\Tools", [](mem::BrowseUser& user) { user.CloseBox(); }), -1);
  EXPECT_EQ(Run("D:\\Tools", nullptr), -1) << "the user closes the window at once";
  EXPECT_TRUE(windows.MessageBoxes().empty());
  EXPECT_EQ(files.ListAll(), before);
}

TEST_F(PathDialogTest, AnAcceptedRunDoesNotCarryOverToTheNext) {
  shell.QueueUser([](mem::BrowseUser& user) { user.ClickOk(); });
  shell.QueueUser([](mem::BrowseUser& user) { user.ClickCancel(); });
  CPathDialog picker(windows, files, shell, kCaption, kTitle, "D:\\Tools");
  EXPECT_EQ(picker.DoModal(), 1);
  EXPECT_EQ(picker.DoModal(), -1);
}

TEST_F(PathDialogTest, NoAllocatorShowsNothing) {
  faults.FailOperation("SHGetMalloc");
  EXPECT_EQ(Run("D:\\Tools", [](mem::BrowseUser& user) { user.ClickOk(); }), -1);
  EXPECT_EQ(shell.BrowseWindowsShown(), 0u);
  EXPECT_TRUE(windows.MessageBoxes().empty());
}

TEST_F(PathDialogTest, BrowseWindowThatCannotOpenReleasesTheAllocator) {
  faults.FailOperation("SHBrowseForFolderA");
  EXPECT_EQ(Run("D:\\Tools", nullptr), -1);
  EXPECT_EQ(shell.BrowseWindowsShown(), 0u);
}

TEST_F(PathDialogTest, WithoutItsEditBoxThePickerStillRuns) {
  faults.FailOperation("CreateWindowExA");
  EXPECT_EQ(Run("D:\\Tools",
                [](mem::BrowseUser& user) {
                  EXPECT_EQ(user.EditBox(), nullptr);
                  EXPECT_TRUE(user.OkEnabled());
                  user.ClickOk();  // nothing typed: an empty path
                  EXPECT_FALSE(user.Ended());
                }),
            -1);
  EXPECT_EQ(OnlyMessageBox().text, Invalid(""));
}

// ---- the window object on the browse window ----

TEST_F(PathDialogTest, SubclassingEndsWithTheWindow) {
  Run("D:\\Tools", [&](mem::BrowseUser& user) { EXPECT_NE(windows.Hook(user.Window()), nullptr); });
  EXPECT_EQ(windows.Hook(shell.LastBrowseWindow()), nullptr);
}

TEST_F(PathDialogTest, WindowObjectGoneBeforeTheWindowUnhooksItself) {
  const plat::HWnd window = windows.AddWindow(mem::Window{});
  {
    CPathDialogSub sub(nullptr);
    ASSERT_TRUE(sub.SubclassWindow(windows, window));
    EXPECT_EQ(sub.GetSafeHwnd(), window);
    EXPECT_FALSE(CPathDialogSub(nullptr).SubclassWindow(windows, window)) << "one hook of ours per window";
  }
  EXPECT_EQ(windows.Hook(window), nullptr);
}

TEST_F(PathDialogTest, DestroyedWindowDetachesTheWindowObject) {
  const plat::HWnd window = windows.AddWindow(mem::Window{});
  CPathDialogSub sub(nullptr);
  ASSERT_TRUE(sub.SubclassWindow(windows, window));
  windows.BeginModal(window, nullptr);
  windows.EndModal(window);
  EXPECT_EQ(sub.GetSafeHwnd(), 0u);
  EXPECT_EQ(windows.Hook(window), nullptr);
}

TEST_F(PathDialogTest, UsesItsOwnEditBoxWhereTheShellHasAControlWithTheSameId) {
  shell.SetFolderRowControls(true);
  EXPECT_EQ(Run("D:\\Tools",
                [&](mem::BrowseUser& user) {
                  const mem::Window* label = user.Control(14148);
                  ASSERT_NE(label, nullptr);
                  ASSERT_NE(user.EditBox(), nullptr);
                  EXPECT_NE(label->handle, user.EditBox()->handle) << "GetDlgItem finds the shell's control first";
                  EXPECT_EQ(user.EditText(), "D:\\Tools");
                  EXPECT_EQ(label->text, "Folder:");
                  user.TypeInEditBox("C:\\Kavtor");
                  user.ClickOk();
                }),
            1);
  EXPECT_EQ(pathName, "C:\\Kavtor");
}

}  // namespace
