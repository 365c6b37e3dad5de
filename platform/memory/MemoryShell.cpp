#include "platform/memory/MemoryShell.h"

#include <cstring>

#include "text/AnsiText.h"

namespace mem {
namespace {

// Placement of the browse window on the screen, and of its controls in its
// client area, in pixels: roughly the old-style dialog at 96 dpi.
constexpr plat::Rect kWindowRect{200, 150, 518, 530};
constexpr plat::Point kClientOrigin{203, 175};
constexpr plat::Rect kTitleRect{12, 8, 306, 36};
constexpr plat::Rect kStatusRect{12, 38, 306, 62};
constexpr plat::Rect kTreeRect{12, 66, 306, 300};
constexpr plat::Rect kOkRect{150, 312, 225, 335};
constexpr plat::Rect kCancelRect{231, 312, 306, 335};
// The new-style template's folder row, hidden unless BIF_EDITBOX.
constexpr int kFolderLabelId = 0x3744;
constexpr int kFolderTextId = 0x3745;
constexpr int kNewFolderId = 0x3746;
constexpr plat::Rect kFolderRowRect{12, 302, 306, 310};

constexpr int kEditBoxId = 0x3744;  // where a program puts its own edit box

bool IsDrivePath(const std::string& text) {
  const bool letter = !text.empty() && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  return letter && text.size() >= 2 && text[1] == ':' && (text.size() == 2 || text[2] == '\\');
}

// The name the dialog writes into the display-name buffer: the last level of a
// folder, the root as it is, or the virtual item's name.
std::string DisplayName(const std::string& name) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < name.size(); i += ansi::CharLength(name, i))
    if (name[i] == '\\' && ansi::CharLength(name, i) == 1 && i + 1 < name.size()) last = i;
  return last == std::string::npos ? name : name.substr(last + 1);
}

void CopyPath(const std::string& text, char* path) {
  const std::size_t n = text.size() < plat::kMaxPath - 1 ? text.size() : plat::kMaxPath - 1;
  std::memcpy(path, text.data(), n);
  path[n] = '\0';
}

}  // namespace

// ---- the user in front of the browse window ----

bool BrowseUser::Ended() const { return m_ws.Find(m_window)->ended; }

bool BrowseUser::Select(const std::string& item) {
  const mem::Window* tree = Control(plat::kBrowseTreeId);
  if (Ended() || tree == nullptr || !tree->visible || !tree->enabled) return false;
  const auto found = m_shell.FindItem(item);
  if (!found || m_shell.m_session == nullptr || m_shell.m_session->window != m_window) return false;
  m_shell.SelectItem(*m_shell.m_session, *found);
  return true;
}

const mem::Window* BrowseUser::EditBox() const {
  for (const mem::Window* w : m_ws.Children(m_window))
    if (ansi::EqualsNoCase(w->className, "Edit") && w->id == kEditBoxId && w->visible) return w;
  return nullptr;
}

bool BrowseUser::TypeInEditBox(const std::string& text) {
  const mem::Window* edit = EditBox();
  if (Ended() || edit == nullptr || !edit->enabled) return false;
  return m_ws.SetWindowTextA(edit->handle, text.c_str());
}

std::string BrowseUser::EditText() const {
  const mem::Window* edit = EditBox();
  return edit == nullptr ? std::string() : edit->text;
}

bool BrowseUser::OkEnabled() const {
  const mem::Window* ok = Control(plat::kIdOk);
  return ok != nullptr && ok->enabled;
}

std::string BrowseUser::Selected() const {
  const MemoryShell::Session* session = m_shell.m_session;
  if (session == nullptr || session->window != m_window || !session->selected) return std::string();
  return session->selected->name;
}

const mem::Window* BrowseUser::Control(int id) const { return m_ws.Control(m_window, id); }

void BrowseUser::Command(int id) {
  const mem::Window* button = Control(id);
  if (Ended() || button == nullptr || !button->visible || !button->enabled) return;
  m_ws.Deliver(m_window, plat::kWmCommand, plat::MakeWParam(static_cast<unsigned>(id), plat::kBnClicked),
               static_cast<plat::LParam>(button->handle));
}

void BrowseUser::ClickOk() { Command(plat::kIdOk); }
void BrowseUser::ClickCancel() { Command(plat::kIdCancel); }

void BrowseUser::CloseBox() {
  if (Ended()) return;
  m_ws.Deliver(m_window, plat::kWmCommand, plat::MakeWParam(plat::kIdCancel, plat::kBnClicked), 0);
}

// ---- the allocator and item lists ----

MemoryShell::MemoryShell(FaultInjector& faults, MemoryWindows& windows, MemoryFileSystem& files)
    : m_faults(faults), m_ws(windows), m_files(files), m_malloc(*this) {}

MemoryShell::~MemoryShell() = default;

plat::HResult MemoryShell::SHGetMalloc(plat::IMalloc** malloc) {
  if (malloc == nullptr) return plat::kEFail;
  *malloc = nullptr;
  if (m_faults.ShouldFail("SHGetMalloc")) return plat::kEOutOfMemory;
  ++m_mallocReferences;
  *malloc = &m_malloc;
  return plat::kSOk;
}

void MemoryShell::Malloc::Free(plat::ItemList list) {
  if (list == 0) return;  // IMalloc::Free(NULL) does nothing
  auto it = m_shell.m_lists.find(list);
  if (it == m_shell.m_lists.end() || !it->second.callerOwned) {
    ++m_shell.m_misuses;
    return;
  }
  m_shell.m_lists.erase(it);
}

unsigned long MemoryShell::Malloc::Release() {
  if (m_shell.m_mallocReferences <= 0) {
    ++m_shell.m_misuses;
    return 0;
  }
  return static_cast<unsigned long>(--m_shell.m_mallocReferences);
}

plat::ItemList MemoryShell::NewList(const Item& item, bool callerOwned) {
  const plat::ItemList list = m_nextList;
  m_nextList += 0x10;
  m_lists.emplace(list, ListRecord{item, callerOwned});
  return list;
}

bool MemoryShell::SHGetPathFromIDListA(plat::ItemList list, char* path) {
  if (path == nullptr) return false;
  path[0] = '\0';
  if (m_faults.ShouldFail("SHGetPathFromIDListA")) return false;
  auto it = m_lists.find(list);
  if (it == m_lists.end()) {
    ++m_misuses;
    return false;
  }
  if (it->second.item.kind == Kind::kVirtual) return false;
  CopyPath(it->second.item.name, path);
  return true;
}

// What a text names in the tree: a virtual item, a network folder, or an
// existing folder of the memory file system ("C:" means the root).
std::optional<MemoryShell::Item> MemoryShell::FindItem(const std::string& text) const {
  if (m_virtualItems.count(text) != 0) return Item{Kind::kVirtual, text};
  for (const std::string& unc : m_networkFolders)
    if (ansi::EqualsNoCase(unc, text)) return Item{Kind::kNetwork, unc};
  if (!IsDrivePath(text)) return std::nullopt;
  std::string path = text.size() == 2 ? text + "\\" : text;
  if (path.size() > 3 && ansi::EndsWithChar(path, '\\')) path.pop_back();
  const std::uint32_t attributes = m_files.Attributes(path);
  if (attributes == plat::kInvalidFileAttributes || (attributes & plat::kFileAttributeDirectory) == 0)
    return std::nullopt;
  return Item{Kind::kFolder, path};
}

// ---- the browse window ----

void MemoryShell::AddControl(plat::HWnd window, int id, const char* className, const char* text, plat::Rect rect,
                             bool visible) {
  Window control;
  control.parent = window;
  control.id = id;
  control.className = className;
  control.text = text == nullptr ? "" : text;
  control.style = plat::kWsChild | (visible ? plat::kWsVisible : 0);
  control.visible = visible;
  control.rect = {kClientOrigin.x + rect.left, kClientOrigin.y + rect.top, kClientOrigin.x + rect.right,
                  kClientOrigin.y + rect.bottom};
  control.client = {control.rect.left, control.rect.top};
  control.font = kBrowseFont;
  m_ws.AddWindow(control);
}

plat::HWnd MemoryShell::CreateBrowseWindow(const plat::BrowseInfo& info) {
  Window dialog;
  dialog.parent = info.owner;
  dialog.className = "#32770";
  dialog.text = "Browse For Folder";
  dialog.visible = true;
  dialog.rect = kWindowRect;
  dialog.client = kClientOrigin;
  dialog.font = kBrowseFont;
  const plat::HWnd window = m_ws.AddWindow(dialog);
  AddControl(window, plat::kBrowseTitleId, "Static", info.title, kTitleRect, info.title != nullptr);
  AddControl(window, plat::kBrowseStatusId, "Static", "", kStatusRect, (info.flags & plat::kBifStatusText) != 0);
  if (m_folderRow) {
    AddControl(window, kFolderLabelId, "Static", "Folder:", kFolderRowRect, false);
    AddControl(window, kFolderTextId, "Edit", "", kFolderRowRect, false);
  }
  AddControl(window, plat::kBrowseTreeId, "SysTreeView32", "", kTreeRect, true);
  if (m_folderRow) AddControl(window, kNewFolderId, "Button", "Make New Folder", kFolderRowRect, false);
  AddControl(window, plat::kIdOk, "Button", "OK", kOkRect, true);
  AddControl(window, plat::kIdCancel, "Button", "Cancel", kCancelRect, true);
  return window;
}

plat::ItemList MemoryShell::SHBrowseForFolderA(plat::BrowseInfo* info) {
  if (info == nullptr || m_faults.ShouldFail("SHBrowseForFolderA")) return 0;
  Session session{info, CreateBrowseWindow(*info), std::nullopt, {}};
  Session* outer = m_session;
  m_session = &session;
  ++m_shown;
  m_lastWindow = session.window;
  m_ws.BeginModal(session.window, this);
  Callback(session, plat::kBffmInitialized, 0);
  RunUser(session.window);
  const std::intptr_t result = m_ws.EndModal(session.window);
  for (const plat::ItemList list : session.dialogLists) m_lists.erase(list);
  m_session = outer;
  if (result == 0 || !session.selected) return 0;
  return NewList(*session.selected, true);
}

void MemoryShell::RunUser(plat::HWnd window) {
  BrowseUser user(*this, m_ws, window);
  if (!m_users.empty()) {
    auto script = std::move(m_users.front());
    m_users.pop_front();
    script(user);
  }
  if (!user.Ended()) user.CloseBox();
  // A hook that swallowed the close box too: the window goes anyway.
  if (!user.Ended()) m_ws.EndDialog(window, 0);
}

void MemoryShell::Callback(const Session& session, std::uint32_t message, plat::LParam lParam) {
  m_callbackMessages.push_back(message);
  if (session.info->callback != nullptr)
    session.info->callback(session.window, message, lParam, session.info->callbackData);
}

void MemoryShell::SelectItem(Session& session, const Item& item) {
  const plat::ItemList list = NewList(item, false);
  session.dialogLists.push_back(list);
  session.selected = item;
  if ((session.info->flags & plat::kBifReturnOnlyFsDirs) != 0)
    m_ws.EnableWindow(m_ws.GetDlgItem(session.window, plat::kIdOk), item.kind != Kind::kVirtual);
  Callback(session, plat::kBffmSelChanged, static_cast<plat::LParam>(list));
}

bool MemoryShell::SetSelection(Session& session, plat::WParam isPath, plat::LParam selection) {
  std::optional<Item> item;
  if (isPath != 0) {
    const char* path = reinterpret_cast<const char*>(selection);
    // Parsing a display name finds folders, not the desktop's virtual items.
    if (path != nullptr && m_virtualItems.count(path) == 0) item = FindItem(path);
  } else {
    auto it = m_lists.find(static_cast<plat::ItemList>(selection));
    if (it != m_lists.end())
      item = it->second.item;
    else
      ++m_misuses;
  }
  if (!item) return false;
  SelectItem(session, *item);
  return true;
}

void MemoryShell::OwnOk(Session& session) {
  if (session.info->displayName != nullptr && session.selected)
    CopyPath(DisplayName(session.selected->name), session.info->displayName);
  m_ws.EndDialog(session.window, 1);
}

plat::LResult MemoryShell::HandleDialogMessage(plat::HWnd dialog, std::uint32_t message, plat::WParam wParam,
                                               plat::LParam lParam) {
  if (m_session == nullptr || m_session->window != dialog) return 0;
  switch (message) {
    case plat::kWmCommand:
      if (plat::HiWord(wParam) != plat::kBnClicked) return 0;
      if (plat::LoWord(wParam) == plat::kIdOk)
        OwnOk(*m_session);
      else if (plat::LoWord(wParam) == plat::kIdCancel)
        m_ws.EndDialog(dialog, 0);
      else
        return 0;
      return 1;
    case plat::kBffmEnableOk:
      m_ws.EnableWindow(m_ws.GetDlgItem(dialog, plat::kIdOk), lParam != 0);
      return 0;
    case plat::kBffmSetStatusTextA:
      m_ws.SetWindowTextA(m_ws.GetDlgItem(dialog, plat::kBrowseStatusId), reinterpret_cast<const char*>(lParam));
      return 0;
    case plat::kBffmSetSelectionA:
      return SetSelection(*m_session, wParam, lParam) ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace mem
