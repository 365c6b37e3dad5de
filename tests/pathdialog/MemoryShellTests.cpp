// The in-memory browse dialog on its own: the accounting that lets the picker's
// tests see leaks, and the Windows behaviour the picker depends on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryShell.h"
#include "platform/memory/MemoryWindows.h"

namespace {

// A callback that writes down what it got and converts each selection.
struct Recorder {
  plat::IShell* shell = nullptr;
  std::vector<std::uint32_t> messages;
  std::vector<std::string> paths;
  plat::HWnd window = 0;

  static int Callback(plat::HWnd window, std::uint32_t message, plat::LParam lParam, plat::LParam data) {
    auto* self = reinterpret_cast<Recorder*>(data);
    self->messages.push_back(message);
    self->window = window;
    if (message == plat::kBffmSelChanged) {
      char path[plat::kMaxPath] = "x";
      self->paths.push_back(self->shell->SHGetPathFromIDListA(static_cast<plat::ItemList>(lParam), path) ? path
                                                                                                         : "<none>");
    }
    return 0;
  }
};

// Says it handled every WM_COMMAND, so the dialog's own procedure never sees one.
struct SwallowCommands : plat::IWindowHook {
  int commands = 0;
  bool detached = false;
  bool HookMessage(plat::HWnd, std::uint32_t message, plat::WParam, plat::LParam, plat::LResult* result) override {
    if (message != plat::kWmCommand) return false;
    ++commands;
    *result = 0;
    return true;
  }
  void HookDetached(plat::HWnd) override { detached = true; }
};

class MemoryShellTest : public ::testing::Test {
 protected:
  MemoryShellTest() : files(faults), windows(faults), shell(faults, windows, files) {
    files.AddFolder("C:\\Tools");
    recorder.shell = &shell;
    info.flags = plat::kBifReturnOnlyFsDirs | plat::kBifStatusText;
    info.callback = &Recorder::Callback;
    info.callbackData = reinterpret_cast<plat::LParam>(&recorder);
    info.displayName = displayName;
  }

  mem::FaultInjector faults;
  mem::MemoryFileSystem files;
  mem::MemoryWindows windows;
  mem::MemoryShell shell;
  Recorder recorder;
  char displayName[plat::kMaxPath] = {};
  plat::BrowseInfo info;
};

TEST_F(MemoryShellTest, ReturnedItemListIsTheCallersUntilFreed) {
  shell.QueueUser([](mem::BrowseUser& user) {
    user.Select("C:\\Tools");
    user.ClickOk();
  });
  const plat::ItemList list = shell.SHBrowseForFolderA(&info);
  ASSERT_NE(list, 0u);
  EXPECT_EQ(shell.LiveItemLists(), 1u) << "a caller that does not free it leaks it";
  EXPECT_STREQ(displayName, "Tools");
  char path[plat::kMaxPath] = {};
  EXPECT_TRUE(shell.SHGetPathFromIDListA(list, path));
  EXPECT_STREQ(path, "C:\\Tools");

  plat::IMalloc* malloc = nullptr;
  ASSERT_EQ(shell.SHGetMalloc(&malloc), plat::kSOk);
  malloc->Free(list);
  EXPECT_EQ(shell.LiveItemLists(), 0u);
  malloc->Free(list);
  EXPECT_EQ(shell.Misuses(), 1u) << "a second free is seen";
  EXPECT_EQ(malloc->Release(), 0u);
  malloc->Release();
  EXPECT_EQ(shell.Misuses(), 2u) << "so is a release too many";
}

TEST_F(MemoryShellTest, ListsHandedToTheCallbackGoWithTheWindow) {
  shell.QueueUser([&](mem::BrowseUser& user) {
    user.Select("C:\\Tools");
    user.Select("C:\\");
    EXPECT_EQ(shell.LiveItemLists(), 2u) << "the dialog's, one per selection";
    user.ClickCancel();
  });
  EXPECT_EQ(shell.SHBrowseForFolderA(&info), 0u) << "cancelled";
  EXPECT_EQ(shell.LiveItemLists(), 0u);
  EXPECT_EQ(recorder.paths, (std::vector<std::string>{"C:\\Tools", "C:\\"}));
}

TEST_F(MemoryShellTest, CallbackOrderAndSelectionFromTheProgram) {
  shell.QueueUser([&](mem::BrowseUser& user) {
    EXPECT_EQ(
        windows.SendMessageA(user.Window(), plat::kBffmSetSelectionA, 1, reinterpret_cast<plat::LParam>("c:\\tools\\")),
        1);
    EXPECT_EQ(
        windows.SendMessageA(user.Window(), plat::kBffmSetSelectionA, 1, reinterpret_cast<plat::LParam>("C:\\Missing")),
        0);
    EXPECT_EQ(
        windows.SendMessageA(user.Window(), plat::kBffmSetSelectionA, 1, reinterpret_cast<plat::LParam>("Computer")), 0)
        << "a display name parses to folders only";
    user.Select("Computer");
  });
  shell.SHBrowseForFolderA(&info);
  EXPECT_EQ(recorder.messages,
            (std::vector<std::uint32_t>{plat::kBffmInitialized, plat::kBffmSelChanged, plat::kBffmSelChanged}));
  EXPECT_EQ(recorder.paths, (std::vector<std::string>{"c:\\tools", "<none>"}));
  EXPECT_EQ(recorder.window, shell.LastBrowseWindow());
}

TEST_F(MemoryShellTest, OnlyFileSystemItemsKeepOkEnabledUnlessTheCallbackSaysOtherwise) {
  shell.AddNetworkFolder("\\\\server\\share");
  shell.QueueUser([&](mem::BrowseUser& user) {
    user.Select("Computer");
    EXPECT_FALSE(user.OkEnabled());
    user.Select("\\\\server\\share");
    EXPECT_TRUE(user.OkEnabled());
    windows.SendMessageA(user.Window(), plat::kBffmEnableOk, 0, 0);
    EXPECT_FALSE(user.OkEnabled());
    windows.SendMessageA(user.Window(), plat::kBffmSetStatusTextA, 0, reinterpret_cast<plat::LParam>("status"));
    EXPECT_EQ(user.Control(plat::kBrowseStatusId)->text, "status");
    EXPECT_TRUE(user.Control(plat::kBrowseStatusId)->visible) << "BIF_STATUSTEXT shows the line";
  });
  shell.SHBrowseForFolderA(&info);
  EXPECT_EQ(recorder.paths, (std::vector<std::string>{"<none>", "\\\\server\\share"}));
}

TEST_F(MemoryShellTest, HookSeesOkFirstAndIsDetachedWhenTheWindowGoes) {
  SwallowCommands hook;
  shell.QueueUser([&](mem::BrowseUser& user) {
    ASSERT_TRUE(windows.SubclassWindow(user.Window(), &hook));
    user.Select("C:\\Tools");
    user.ClickOk();
    EXPECT_FALSE(user.Ended()) << "the hook took OK away from the dialog";
    user.CloseBox();
  });
  EXPECT_EQ(shell.SHBrowseForFolderA(&info), 0u) << "ended by force, as cancelled";
  EXPECT_EQ(hook.commands, 3) << "OK, the user's close box, and the one after the user left";
  EXPECT_TRUE(hook.detached);
  EXPECT_EQ(windows.Hook(shell.LastBrowseWindow()), nullptr);
}

TEST_F(MemoryShellTest, EditControlReportsItsTextChangesAndTakesAFont) {
  SwallowCommands hook;
  shell.QueueUser([&](mem::BrowseUser& user) {
    const plat::HWnd edit = windows.CreateWindowExA(0, "EDIT", "", plat::kWsChild | plat::kWsVisible, 1, 2, 30, 20,
                                                    user.Window(), 0, 0, nullptr);
    ASSERT_NE(edit, 0u);
    ASSERT_TRUE(windows.SubclassWindow(user.Window(), &hook));
    windows.SetWindowTextA(edit, "same");
    windows.SetWindowTextA(edit, "same");
    EXPECT_EQ(hook.commands, 2) << "EN_CHANGE each time, even for the same text";
    const plat::LResult font = windows.SendMessageA(user.Window(), plat::kWmGetFont, 0, 0);
    EXPECT_EQ(font, static_cast<plat::LResult>(mem::MemoryShell::kBrowseFont));
    windows.SendMessageA(edit, plat::kWmSetFont, static_cast<plat::WParam>(font), 1);
    EXPECT_EQ(windows.Find(edit)->font, mem::MemoryShell::kBrowseFont);
    plat::Rect rect;
    ASSERT_TRUE(windows.GetWindowRect(edit, &rect));
    plat::Point corner{rect.left, rect.top};
    ASSERT_TRUE(windows.ScreenToClient(user.Window(), &corner));
    EXPECT_EQ(corner.x, 1);
    EXPECT_EQ(corner.y, 2);
    windows.UnsubclassWindow(user.Window());
  });
  shell.SHBrowseForFolderA(&info);
}

TEST_F(MemoryShellTest, FaultsOfTheShell) {
  plat::IMalloc* malloc = reinterpret_cast<plat::IMalloc*>(1);
  faults.FailOperation("SHGetMalloc");
  EXPECT_EQ(shell.SHGetMalloc(&malloc), plat::kEOutOfMemory);
  EXPECT_EQ(malloc, nullptr);
  EXPECT_EQ(shell.MallocReferences(), 0);

  faults.FailOperation("SHBrowseForFolderA");
  shell.QueueUser([](mem::BrowseUser& user) { user.ClickOk(); });
  EXPECT_EQ(shell.SHBrowseForFolderA(&info), 0u);
  EXPECT_EQ(shell.BrowseWindowsShown(), 0u);
  EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
