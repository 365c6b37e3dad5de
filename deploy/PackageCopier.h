// Finding the package that SetUp.exe deploys, and copying it flatly into the
// product folder with a progress step per directory entry. Every message is a
// box owned by the setup dialog (`owner`), which it disables while it waits.
#pragma once

#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "deploy/InstallRecord.h"
#include "framework/Wnd.h"
#include "platform/Platform.h"

// The package folder: "Data" beside the program, or the program's own folder
// when the marker file "Kavtor2010.arx" lies beside it. Tells the user and
// returns false when neither is there, or when the program's folder has a name
// the ANSI file calls cannot spell (characters outside code page 936).
bool LocatePackageFolder(plat::Platform& platform, std::string& folder, HWND owner);

// The running program's path in the ANSI code page; empty when it does not fit
// the buffer. `lossy`: it holds characters the code page lacks.
std::string ProgramPath(plat::Platform& platform, bool* lossy = nullptr);

// True when `productFolder` can be made (at most 248 characters, the limit of
// CreateDirectory) and every file of the package fits below it (at most 259
// characters, the limit of the ANSI file calls). Otherwise tells the user.
bool ProductFolderFits(plat::Platform& platform, const std::string& packageFolder, const std::string& productFolder,
                       HWND owner);

class CPackageCopier {
 public:
  // One trailing backslash of `targetFolder` is dropped.
  CPackageCopier(plat::Platform& platform, std::string targetFolder, fw::CProgressCtrl& progress, HWND owner);

  // Copies every file directly in `packageFolder` (LocatePackageFolder's; no
  // subfolders, not the setup program, not the two shape fonts) into the target
  // folder. False when its listing cannot be read, the target folder is too long
  // for its files, or the user chose Abort; what was copied stays. A package that
  // is the target folder itself stays as it is.
  bool CopyPackage(const std::string& packageFolder);
  // The files now in the target folder as the package put them there (the
  // uninstaller takes back those it finds unchanged), and what the installation
  // lacks: the files the user chose to leave out (Ignore), and those that could
  // not be recorded (the uninstaller would leave them).
  const InstallRecord& Record() const { return m_record; }
  const FailureReport& Failures() const { return m_failures; }

 private:
  // False when the user chose Abort.
  bool CopyEntry(const std::string& packageFolder, const std::string& name);
  bool CopyOnce(const std::string& source, const std::string& destination);
  void Remember(const std::string& name, const std::string& destination);
  int Tell(const std::string& text, std::uint32_t type);

  plat::Platform& m_platform;
  std::string m_strTargetFolder;
  fw::CProgressCtrl& m_progress;
  HWND m_owner;
  InstallRecord m_record;
  FailureReport m_failures;
  std::uint32_t m_copyError = 0;  // of the last copy that failed
};
