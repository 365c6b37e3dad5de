// Finding the package that SetUp.exe deploys, and copying it flatly into the
// product folder with a progress step per directory entry.
#pragma once

#include <string>

#include "framework/Wnd.h"
#include "platform/Platform.h"

// The package folder: "Data" beside the program, or the program's own folder
// when the marker file "Kavtor2010.arx" lies beside it. Tells the user and
// returns false when neither is there.
bool LocatePackageFolder(plat::Platform& platform, std::string& folder);

class CPackageCopier {
 public:
  // One trailing backslash of `targetFolder` is dropped.
  CPackageCopier(plat::Platform& platform, std::string targetFolder, fw::CProgressCtrl& progress);

  // Copies every file directly in the package folder (no subfolders, not the
  // setup program, not the two shape fonts) into the target folder. False when
  // the package is missing, its listing cannot be read, the target folder is too
  // long for any file path, or the user chose Abort; what was copied stays.
  bool CopyPackage();

 private:
  bool IsSkipped(const plat::FindData& entry) const;
  // False when the user chose Abort.
  bool CopyEntry(const std::string& packageFolder, const std::string& name);
  bool CopyOnce(const std::string& source, const std::string& destination);
  int Tell(const std::string& text, std::uint32_t type);

  plat::Platform& m_platform;
  std::string m_strTargetFolder;
  fw::CProgressCtrl& m_progress;
};
