#include "pathdialog/PathDialog.h"

#include <shlobj.h>

#include "pathdialog/FolderValidation.h"
#include "text/AnsiText.h"

namespace {

constexpr std::uint32_t kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
// Controls of the browse window, the shell's own identifiers.
constexpr int kBrowseTreeId = 0x3741;    // 14145, the folder tree
constexpr int kBrowseStatusId = 0x3743;  // 14147, the status text line
// The edit box sits on the tree's left and right edges, 23 pixels high, ending 4
// pixels above the tree: where the status line is, which we hide.
constexpr long kEditTopAboveTree = 27;
constexpr long kEditBottomAboveTree = 4;

}  // namespace

// ---- creating the folder ----

int CreateFolderPath(plat::IFileSystem& fs, const std::string& path) {
  return WalkFolderPath(path, [&fs](const std::string& level, bool root) {
    if (!root) fs.CreateDirectoryA(level.c_str());  // an existing level is fine
    return fs.Access(level.c_str(), 0) == 0;
  });
}

int ConfirmFolder(plat::IFileSystem& fs, plat::IShell& user, HWND owner, const std::string& caption,
                  const std::string& path) {
  auto warn = [&](int code) {
    const char* format = code == folder::kInvalid ? "The folder:\n\n%s\n\nis invalid. Please reenter."
                                                  : "The folder:\n\n%s\n\ncan not be created. Please double check.";
    user.MessageBoxA(owner, ansi::Format(format, path.c_str()).c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return code;
  };
  int code = CheckFolderPath(path);
  if (code != folder::kAccepted) return warn(code);
  if (fs.Access(path.c_str(), 0) != 0) {
    const std::string question =
        ansi::Format("The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?", path.c_str());
    if (user.MessageBoxA(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return folder::kDeclined;
    code = CreateFolderPath(fs, path);
    if (code != folder::kAccepted) return warn(code);
  }
  return folder::kAccepted;
}

std::string ApplicationName(plat::IFileSystem& fs) {
  char module[MAX_PATH + 1] = {};
  const std::uint32_t length = fs.GetModuleFileNameA(module, sizeof module);
  std::string name = ansi::NameOf(std::string(module, length < sizeof module ? length : 0));
  const std::size_t dot = ansi::FindLastChar(name, '.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// ---- the picker ----

CPathDialog::CPathDialog(plat::IFileSystem& fs, plat::IShell& shell, const char* caption, const char* title,
                         const char* initialPath, HWND parent)
    : m_fs(fs),
      m_shell(shell),
      m_lpszCaption(caption),
      m_lpszInitialPath(initialPath),
      m_hOwner(parent != nullptr ? parent : ::GetActiveWindow()),
      m_PathDialogSub(this) {
  m_bi.owner = m_hOwner;
  m_bi.title = title;
  m_bi.flags = kBrowseFlags;
  m_bi.callback = &CPathDialog::BrowseCallback;
  m_bi.callbackData = reinterpret_cast<LPARAM>(this);
}

int CPathDialog::DoModal() {
  m_bGetSuccess = false;
  m_shell.BrowseForFolderA(m_bi);  // the shell's choice is not our result: the typed text is
  m_hWnd = nullptr;
  m_hEdit = nullptr;
  return m_bGetSuccess ? 1 : -1;
}

int CPathDialog::BrowseCallback(HWND window, std::uint32_t message, LPARAM lParam, LPARAM data) {
  auto* self = reinterpret_cast<CPathDialog*>(data);
  if (message == BFFM_INITIALIZED)
    self->OnInitialized(window);
  else if (message == BFFM_SELCHANGED)
    self->OnSelChanged(window, static_cast<plat::ItemList>(lParam));
  return 0;
}

void CPathDialog::OnInitialized(HWND window) {
  m_hWnd = window;
  if (m_lpszCaption != nullptr) ::SetWindowTextA(window, m_lpszCaption);
  m_PathDialogSub.SubclassWindow(window);
  ::ShowWindow(::GetDlgItem(window, kBrowseStatusId), SW_HIDE);
  CreateEditBox(window);
  SelectInitialFolder(window);
}

void CPathDialog::CreateEditBox(HWND window) {
  RECT tree{};
  ::GetWindowRect(::GetDlgItem(window, kBrowseTreeId), &tree);
  POINT topLeft{tree.left, tree.top - kEditTopAboveTree};
  POINT bottomRight{tree.right, tree.top - kEditBottomAboveTree};
  ::ScreenToClient(window, &topLeft);
  ::ScreenToClient(window, &bottomRight);

  m_hEdit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kEditStyle, static_cast<int>(topLeft.x),
                              static_cast<int>(topLeft.y), static_cast<int>(bottomRight.x - topLeft.x),
                              static_cast<int>(bottomRight.y - topLeft.y), window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditBoxId)), nullptr, nullptr);
  if (m_hEdit == nullptr) return;  // the picker still works, with the tree only
  const LRESULT font = ::SendMessageA(window, WM_GETFONT, 0, 0);
  ::SendMessageA(m_hEdit, WM_SETFONT, static_cast<WPARAM>(font), 1);
}

void CPathDialog::SelectInitialFolder(HWND window) {
  char current[MAX_PATH] = {};
  const char* folder = m_lpszInitialPath;
  if (folder == nullptr) {
    // A result of kMaxPath or more is the size needed: nothing was written.
    if (m_fs.GetCurrentDirectoryA(MAX_PATH, current) >= MAX_PATH) current[0] = '\0';
    folder = current;
  }
  // The selection change this causes fills the edit box.
  ::SendMessageA(window, BFFM_SETSELECTIONA, 1, reinterpret_cast<LPARAM>(folder));
}

void CPathDialog::OnSelChanged(HWND window, plat::ItemList item) {
  char path[MAX_PATH] = {};
  // Virtual items (the desktop's computer, the network) have no path, and a
  // network folder's path is no drive-letter path: neither can be installed to.
  const bool usable = m_shell.SHGetPathFromIDListA(item, path) && path[1] == ':';
  if (!usable) path[0] = '\0';
  ::SendMessageA(window, BFFM_ENABLEOK, 0, usable ? 1 : 0);
  ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
  if (m_hEdit != nullptr) ::SetWindowTextA(m_hEdit, path);  // raises EN_CHANGE: OnEditChange
}

// At most 259 characters, and never half of a double-byte one.
void CPathDialog::ReadEditText() {
  const std::string text = fw::WindowText(m_hEdit);
  std::size_t length = 0;
  for (std::size_t chars = 0; length < text.size() && chars < ansi::kLongestPath; ++chars)
    length += ansi::CharLength(text, length);
  text.copy(m_szPathName, length);
  m_szPathName[length] = '\0';
}

// ---- the window object on the browse window ----

const fw::MessageTable* CPathDialogSub::GetMessageTable() const {
  static const fw::MessageEntry entries[] = {
      fw::OnCommand(BN_CLICKED, IDOK, &CPathDialogSub::OnOK),
      fw::OnCommand(EN_CHANGE, CPathDialog::kEditBoxId, &CPathDialogSub::OnEditChange),
  };
  static const fw::MessageTable table{nullptr, entries, sizeof entries / sizeof entries[0]};
  return &table;
}

void CPathDialogSub::OnEditChange() {
  CPathDialog& dlg = *m_pPathDialog;
  dlg.ReadEditText();
  ::SendMessageA(dlg.m_hWnd, BFFM_ENABLEOK, 0, dlg.m_szPathName[0] != '\0' ? 1 : 0);
}

void CPathDialogSub::OnOK() {
  CPathDialog& dlg = *m_pPathDialog;
  dlg.ReadEditText();
  const int code = ConfirmFolder(dlg.m_fs, dlg.m_shell, dlg.m_hWnd, ApplicationName(dlg.m_fs), dlg.m_szPathName);
  if (code == folder::kAccepted) {
    dlg.m_bGetSuccess = true;
    ::EndDialog(dlg.m_hWnd, 1);  // instead of the dialog's own OK
    return;
  }
  ::SetFocus(dlg.m_hEdit);
}
