// The shell's folder-browse dialog over the in-memory window system and file
// system, as the old-style SHBrowseForFolderA of Windows runs it:
//
// - The browse window (class #32770, caption "Browse For Folder") holds the title
//   text 14146, the status line 14147 (hidden without BIF_STATUSTEXT), the folder
//   tree 14145, OK 1 and Cancel 2, placed in screen pixels so that a program can
//   measure them. Its font is kBrowseFont.
// - The tree's items are the folders of the memory file system, the network
//   folders a test adds (their path is the UNC path) and virtual items ("Desktop",
//   "Computer", "Network" and those a test adds), whose path conversion fails.
// - The callback gets BFFM_INITIALIZED once the window exists, and
//   BFFM_SELCHANGED on each change of selection, also the one a BFFM_SETSELECTIONA
//   causes (synchronously, inside the sender's call). Before the callback the
//   dialog applies BIF_RETURNONLYFSDIRS itself: OK is disabled for a virtual item;
//   the callback can then change that with BFFM_ENABLEOK. Nothing is selected
//   until the program or the user selects something.
// - A message to the browse window goes to its hook first (a program that
//   subclassed it sees OK before the dialog does). The dialog's own OK writes the
//   item's name into the display-name buffer and ends with 1; Cancel and the
//   close box end with 0. Ended with a non-zero result and an item selected,
//   SHBrowseForFolderA returns a new item list of that item, which the caller
//   must free with the shell allocator; 0 otherwise.
// - Item lists are counted: those the dialog hands to the callback live until the
//   window closes, the returned one until the caller frees it. Freeing or
//   converting a list that is not live (or not the caller's to free) counts as a
//   misuse; Windows would corrupt its heap.
//
// Faults (FaultInjector operation names): "SHGetMalloc" (E_OUTOFMEMORY, no
// allocator), "SHBrowseForFolderA" (0, no window shown), "SHGetPathFromIDListA"
// (false, empty path). IMalloc's Free and Release do not fail.
//
// Where this deliberately differs from Windows: the desktop is a virtual item
// (Windows converts it to the user's desktop folder); a folder's path keeps the
// letter case it was selected with (Windows gives the case stored on disk);
// there is no expanding, no icons, and no "Make New Folder" button.
//
// SetFolderRowControls gives the browse window the hidden "Folder:" row of the
// new-style template (as Wine's has it): the label 0x3744 (14148, the id a
// program may give its own edit box, found first by GetDlgItem), the edit box
// 0x3745 and the button 0x3746. Wine 8's old-style dialog has none of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryWindows.h"

namespace mem {

class MemoryShell;

// The person in front of the browse window. Hidden or disabled controls do not
// respond, and nothing does once the window has ended.
class BrowseUser {
 public:
  BrowseUser(MemoryShell& shell, MemoryWindows& ws, plat::HWnd window) : m_shell(shell), m_ws(ws), m_window(window) {}

  plat::HWnd Window() const { return m_window; }
  bool Ended() const;
  // A click on a tree item: a folder path, a network path or a virtual item's
  // name. False when the tree has no such item.
  bool Select(const std::string& item);
  // Replaces the text of the visible edit box the program put on the window
  // (class EDIT, id 14148), raising EN_CHANGE; false when there is none.
  bool TypeInEditBox(const std::string& text);
  void ClickOk();
  void ClickCancel();
  void CloseBox();  // IDCANCEL, as the caption's close box sends it

  // What the user sees.
  const mem::Window* EditBox() const;  // null when the program put none there
  std::string EditText() const;
  bool OkEnabled() const;
  std::string Selected() const;  // the selected item, empty when none
  // The first control with that id, as GetDlgItem finds it; null when none.
  const mem::Window* Control(int id) const;

 private:
  void Command(int id);
  MemoryShell& m_shell;
  MemoryWindows& m_ws;
  plat::HWnd m_window;
};

class MemoryShell : public plat::IShell, private plat::IDialogHost {
 public:
  static constexpr plat::HGdi kBrowseFont = 0x1F0;

  MemoryShell(FaultInjector& faults, MemoryWindows& windows, MemoryFileSystem& files);
  ~MemoryShell() override;
  MemoryShell(const MemoryShell&) = delete;
  MemoryShell& operator=(const MemoryShell&) = delete;

  // Test set-up.
  // The user of the next browse window; without one the user closes it at once.
  void QueueUser(std::function<void(BrowseUser&)> user) { m_users.push_back(std::move(user)); }
  void AddVirtualItem(const std::string& name) { m_virtualItems.insert(name); }
  void AddNetworkFolder(const std::string& uncPath) { m_networkFolders.insert(uncPath); }
  void SetFolderRowControls(bool present) { m_folderRow = present; }

  // Inspection.
  std::size_t LiveItemLists() const { return m_lists.size(); }
  std::size_t Misuses() const { return m_misuses; }
  long MallocReferences() const { return m_mallocReferences; }
  std::size_t BrowseWindowsShown() const { return m_shown; }
  plat::HWnd LastBrowseWindow() const { return m_lastWindow; }
  // The callback messages of every browse window, in order.
  const std::vector<std::uint32_t>& CallbackMessages() const { return m_callbackMessages; }

  // IShell
  plat::HResult SHGetMalloc(plat::IMalloc** malloc) override;
  plat::ItemList SHBrowseForFolderA(plat::BrowseInfo* info) override;
  bool SHGetPathFromIDListA(plat::ItemList list, char* path) override;

 private:
  friend class BrowseUser;
  enum class Kind { kFolder, kNetwork, kVirtual };
  struct Item {
    Kind kind;
    std::string name;  // the path, or the virtual item's name
  };
  struct ListRecord {
    Item item;
    bool callerOwned;
  };
  struct Session {
    plat::BrowseInfo* info;
    plat::HWnd window;
    std::optional<Item> selected;
    std::vector<plat::ItemList> dialogLists;
  };
  class Malloc : public plat::IMalloc {
   public:
    explicit Malloc(MemoryShell& shell) : m_shell(shell) {}
    void Free(plat::ItemList list) override;
    unsigned long Release() override;

   private:
    MemoryShell& m_shell;
  };

  std::optional<Item> FindItem(const std::string& text) const;
  plat::ItemList NewList(const Item& item, bool callerOwned);
  plat::HWnd CreateBrowseWindow(const plat::BrowseInfo& info);
  void AddControl(plat::HWnd window, int id, const char* className, const char* text, plat::Rect rect, bool visible);
  void RunUser(plat::HWnd window);
  void SelectItem(Session& session, const Item& item);
  void Callback(const Session& session, std::uint32_t message, plat::LParam lParam);
  bool SetSelection(Session& session, plat::WParam isPath, plat::LParam selection);
  void OwnOk(Session& session);
  plat::LResult HandleDialogMessage(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam,
                                    plat::LParam lParam) override;

  FaultInjector& m_faults;
  MemoryWindows& m_ws;
  MemoryFileSystem& m_files;
  Malloc m_malloc;
  long m_mallocReferences = 0;
  std::deque<std::function<void(BrowseUser&)>> m_users;
  std::set<std::string> m_virtualItems{"Desktop", "Computer", "Network"};
  std::set<std::string> m_networkFolders;
  bool m_folderRow = false;
  std::map<plat::ItemList, ListRecord> m_lists;
  plat::ItemList m_nextList = 0x50000;
  std::size_t m_misuses = 0;
  std::size_t m_shown = 0;
  plat::HWnd m_lastWindow = 0;
  Session* m_session = nullptr;  // the browse window open now
  std::vector<std::uint32_t> m_callbackMessages;
};

}  // namespace mem
