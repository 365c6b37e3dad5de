#include "pathdialog/PathDialog.h"

#include "pathdialog/FolderValidation.h"
#include "text/AnsiText.h"

namespace {

constexpr std::uint32_t kBrowseFlags = plat::kBifReturnOnlyFsDirs | plat::kBifStatusText;
constexpr std::uint32_t kEditStyle = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop | plat::kEsAutoHScroll;
// The edit box sits on the tree's left and right edges, 23 pixels high, ending 4
// pixels above the tree: where the status line is, which we hide.
constexpr long kEditTopAboveTree = 27;
constexpr long kEditBottomAboveTree = 4;

const CPathDialogSub::CommandEntry kSubCommands[] = {
    {plat::kBnClicked, plat::kIdOk, &CPathDialogSub::OnOK},
    {plat::kEnChange, CPathDialog::kEditBoxId, &CPathDialogSub::OnEditChange},
};
const CPathDialogSub::CommandTable kSubCommandTable = {nullptr, kSubCommands,
                                                       sizeof kSubCommands / sizeof kSubCommands[0]};

}  // namespace

// ---- the picker ----

CPathDialog::CPathDialog(plat::IWindowSystem& ws, plat::IFileSystem& fs, plat::IShell& shell, const char* caption,
                         const char* title, const char* initialPath, plat::HWnd parent)
    : m_ws(ws),
      m_fs(fs),
      m_shell(shell),
      m_lpszCaption(caption),
      m_lpszInitialPath(initialPath),
      m_hOwner(parent != 0 ? parent : ws.GetActiveWindow()),
      m_PathDialogSub(this) {
  m_bi.owner = m_hOwner;
  m_bi.root = 0;
  m_bi.displayName = nullptr;
  m_bi.title = title;
  m_bi.flags = kBrowseFlags;
  m_bi.callback = &CPathDialog::BrowseCallback;
}

int CPathDialog::DoModal() {
  char displayName[plat::kMaxPath] = {};
  m_bi.callback = &CPathDialog::BrowseCallback;
  m_bi.callbackData = reinterpret_cast<plat::LParam>(this);
  m_bi.displayName = displayName;

  plat::ScopedMalloc malloc;
  if (!plat::Succeeded(m_shell.SHGetMalloc(malloc.put())) || malloc.get() == nullptr) {
    m_bi.displayName = nullptr;
    return -1;
  }
  m_bGetSuccess = false;
  const plat::ItemList chosen = m_shell.SHBrowseForFolderA(&m_bi);
  // The shell's choice is not our result (the typed text is), but it is ours to free.
  if (chosen != 0) malloc.get()->Free(chosen);

  m_bi.displayName = nullptr;  // that buffer ends with this call
  m_hWnd = 0;
  m_hEdit = 0;
  return m_bGetSuccess ? 1 : -1;
}

int CPathDialog::BrowseCallback(plat::HWnd window, std::uint32_t message, plat::LParam lParam, plat::LParam data) {
  auto* self = reinterpret_cast<CPathDialog*>(data);
  if (message == plat::kBffmInitialized)
    self->OnInitialized(window);
  else if (message == plat::kBffmSelChanged)
    self->OnSelChanged(window, static_cast<plat::ItemList>(lParam));
  return 0;
}

void CPathDialog::OnInitialized(plat::HWnd window) {
  m_hWnd = window;
  if (m_lpszCaption != nullptr) m_ws.SetWindowTextA(window, m_lpszCaption);
  m_PathDialogSub.SubclassWindow(m_ws, window);
  m_ws.ShowWindow(m_ws.GetDlgItem(window, plat::kBrowseStatusId), plat::kSwHide);
  CreateEditBox(window);
  SelectInitialFolder(window);
}

void CPathDialog::CreateEditBox(plat::HWnd window) {
  plat::Rect tree;
  m_ws.GetWindowRect(m_ws.GetDlgItem(window, plat::kBrowseTreeId), &tree);
  plat::Point topLeft{tree.left, tree.top - kEditTopAboveTree};
  plat::Point bottomRight{tree.right, tree.top - kEditBottomAboveTree};
  m_ws.ScreenToClient(window, &topLeft);
  m_ws.ScreenToClient(window, &bottomRight);

  m_hEdit = m_ws.CreateWindowExA(plat::kWsExClientEdge, "EDIT", "", kEditStyle, static_cast<int>(topLeft.x),
                                 static_cast<int>(topLeft.y), static_cast<int>(bottomRight.x - topLeft.x),
                                 static_cast<int>(bottomRight.y - topLeft.y), window, 0, 0, nullptr);
  if (m_hEdit == 0) return;  // the picker still works, with the tree only
  m_ws.SetWindowLongA(m_hEdit, plat::kGwlId, kEditBoxId);
  m_ws.ShowWindow(m_hEdit, plat::kSwShow);
  const plat::LResult font = m_ws.SendMessageA(window, plat::kWmGetFont, 0, 0);
  m_ws.SendMessageA(m_hEdit, plat::kWmSetFont, static_cast<plat::WParam>(font), 1);
}

void CPathDialog::SelectInitialFolder(plat::HWnd window) {
  char current[plat::kMaxPath] = {};
  const char* folder = m_lpszInitialPath;
  if (folder == nullptr) {
    // A result of kMaxPath or more is the size needed: nothing was written.
    if (m_fs.GetCurrentDirectoryA(plat::kMaxPath, current) >= plat::kMaxPath) current[0] = '\0';
    folder = current;
  }
  // The selection change this causes fills the edit box.
  m_ws.SendMessageA(window, plat::kBffmSetSelectionA, 1, reinterpret_cast<plat::LParam>(folder));
}

void CPathDialog::OnSelChanged(plat::HWnd window, plat::ItemList item) {
  char path[plat::kMaxPath] = {};
  // Virtual items (the desktop's computer, the network) have no path, and a
  // network folder's path is no drive-letter path: neither can be installed to.
  const bool usable = m_shell.SHGetPathFromIDListA(item, path) && path[1] == ':';
  if (!usable) path[0] = '\0';
  m_ws.SendMessageA(window, plat::kBffmEnableOk, 0, usable ? 1 : 0);
  m_ws.SendMessageA(window, plat::kBffmSetStatusTextA, 0, reinterpret_cast<plat::LParam>(path));
  if (m_hEdit != 0) m_ws.SetWindowTextA(m_hEdit, path);  // raises EN_CHANGE: OnEditChange
}

// At most 259 characters, and never half of a double-byte one.
void CPathDialog::ReadEditText() {
  const std::string text = m_ws.GetWindowTextA(m_hEdit, 0x7FFF);
  std::size_t length = 0;
  for (std::size_t chars = 0; length < text.size() && chars < plat::kLongestPath; ++chars)
    length += ansi::CharLength(text, length);
  text.copy(m_szPathName, length);
  m_szPathName[length] = '\0';
}

// ---- the window object on the browse window ----

CPathDialogSub::~CPathDialogSub() {
  // Normally the window's destruction has detached us already.
  if (m_hWnd != 0) m_ws->UnsubclassWindow(m_hWnd);
}

bool CPathDialogSub::SubclassWindow(plat::IWindowSystem& ws, plat::HWnd window) {
  if (!ws.SubclassWindow(window, this)) return false;
  Attach(ws, window);
  return true;
}

const CPathDialogSub::CommandTable* CPathDialogSub::GetCommandTable() const { return &kSubCommandTable; }

bool CPathDialogSub::HookMessage(plat::HWnd, std::uint32_t message, plat::WParam wParam, plat::LParam,
                                 plat::LResult* result) {
  if (message != plat::kWmCommand) return false;
  const int id = plat::LoWord(wParam);
  const int code = plat::HiWord(wParam);
  for (const CommandTable* table = GetCommandTable(); table != nullptr; table = table->base) {
    for (std::size_t i = 0; i < table->count; ++i) {
      const CommandEntry& e = table->entries[i];
      if (e.notifyCode == code && e.id == id) {
        (this->*e.handler)();
        *result = 0;
        return true;
      }
    }
  }
  return false;
}

void CPathDialogSub::HookDetached(plat::HWnd) { Detach(); }

void CPathDialogSub::OnEditChange() {
  CPathDialog& dlg = *m_pPathDialog;
  dlg.ReadEditText();
  dlg.m_ws.SendMessageA(dlg.m_hWnd, plat::kBffmEnableOk, 0, dlg.m_szPathName[0] != '\0' ? 1 : 0);
}

void CPathDialogSub::OnOK() {
  CPathDialog& dlg = *m_pPathDialog;
  dlg.ReadEditText();
  const int code = ConfirmFolder(dlg.m_fs, dlg.m_ws, dlg.m_hWnd, ApplicationName(dlg.m_fs), dlg.m_szPathName);
  if (code == folder::kAccepted) {
    dlg.m_bGetSuccess = true;
    dlg.m_ws.EndDialog(dlg.m_hWnd, 1);  // instead of the dialog's own OK
    return;
  }
  dlg.m_ws.SetFocus(dlg.m_hEdit);
}
