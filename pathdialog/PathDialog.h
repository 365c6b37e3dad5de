// The folder picker: the shell's folder-browse dialog with an edit box of ours
// above the tree, in which the selected folder's path shows and a path can be
// typed. Only drive-rooted folders are taken; OK validates the typed path and
// offers to create a missing folder with every missing level. The accepted text,
// not the tree's selection, is the result.
#pragma once

#include <string>

#include "framework/Wnd.h"
#include "pathdialog/FolderValidation.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "text/AnsiText.h"

// The same check as CheckFolderPath, creating each missing level as it goes. 0, 1
// (invalid) or 2 (a level could not be created; the levels made before it stay).
int CreateFolderPath(plat::IFileSystem& fs, const std::string& path);

// What the picker's OK does with the typed path: validate it, offer to create it
// when missing, create it. Warnings and the question are message boxes over
// `owner` captioned `caption`. 0, -1 (declined), 1 or 2.
int ConfirmFolder(plat::IFileSystem& fs, plat::IShell& user, HWND owner, const std::string& caption,
                  const std::string& path);

// The program's name as message boxes show it: its file name without extension.
std::string ApplicationName(plat::IFileSystem& fs);

class CPathDialog;

// Our window object on the browse window while it exists (subclassing), so that
// OK and the edit box's changes reach the picker before the dialog's procedure.
class CPathDialogSub : public fw::CWnd {
 public:
  explicit CPathDialogSub(CPathDialog* pathDialog) : m_pPathDialog(pathDialog) {}

  // Command handlers, reached through the message table.
  void OnOK();
  void OnEditChange();

 protected:
  const fw::MessageTable* GetMessageTable() const override;

 private:
  CPathDialog* m_pPathDialog;
};

class CPathDialog {
 public:
  static constexpr int kEditBoxId = 14148;  // 0x3744, the id our edit box gets

  // The three texts are borrowed and must outlive DoModal. With no parent the
  // active window owns the browse window.
  CPathDialog(plat::IFileSystem& fs, plat::IShell& shell, const char* caption, const char* title,
              const char* initialPath, HWND parent = nullptr);
  CPathDialog(const CPathDialog&) = delete;
  CPathDialog& operator=(const CPathDialog&) = delete;

  // 1 when a folder was accepted, -1 otherwise (Cancel, the close box, a
  // browse window that did not come up, or an OK that never passed validation).
  virtual int DoModal();
  // The accepted folder after DoModal returned 1, exactly as typed.
  std::string GetPathName() const { return m_szPathName; }

  static int BrowseCallback(HWND window, std::uint32_t message, LPARAM lParam, LPARAM data);

 private:
  friend class CPathDialogSub;

  void OnInitialized(HWND window);
  void CreateEditBox(HWND window);
  void SelectInitialFolder(HWND window);
  void OnSelChanged(HWND window, plat::ItemList item);
  void ReadEditText();

  plat::IFileSystem& m_fs;
  plat::IShell& m_shell;
  const char* m_lpszCaption;
  const char* m_lpszInitialPath;
  // 259 characters, as the file calls count them: twice as many bytes for Chinese.
  char m_szPathName[2 * ansi::kLongestPath + 1] = {};
  plat::BrowseInfo m_bi;
  HWND m_hWnd = nullptr;  // the browse window while it is open
  HWND m_hOwner;
  bool m_bGetSuccess = false;
  CPathDialogSub m_PathDialogSub;
  // The edit box we created. Kept rather than found by id: a browse dialog may
  // have a control of its own with the same id 0x3744 (Wine's new-style one has
  // its hidden "Folder:" label there), and GetDlgItem would find that first.
  HWND m_hEdit = nullptr;
};
