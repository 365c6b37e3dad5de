// The uninstaller: SetUp.exe's own copy in the product folder, which Apps &
// Features starts with no arguments. It asks once, waits for AutoCAD to be
// closed, and hands over to a copy of itself in the temporary folder, started
// with an administrator's rights (the keys it takes back are the local
// machine's, and a running program cannot delete itself, so NSIS does the same).
// That copy takes back what the installation wrote and still finds as it wrote
// it, and says in one message what it removed, what it kept and why, or what
// failed. A removal that could not finish keeps the Apps & Features entry, the
// uninstaller and the record: running it again finishes the job.
#pragma once

#include <cstdint>
#include <string>

#include "acad/AcadSetup.h"
#include "platform/Platform.h"

namespace uninstall {

// The switch the temporary copy is started with: /remove PID "PRODUCT FOLDER".
constexpr const char* kRemoveSwitch = "/remove";

// True when the running program is the uninstaller in a product folder (by its
// file name; SetUp.exe itself is never called that).
bool IsUninstaller(plat::Platform& platform);

class CUninstaller {
 public:
  CUninstaller(plat::Platform& platform, CAcadSetup& acadSetup, int editionBits);

  // Started from the product folder: the question, the AutoCAD check, the copy
  // started. Changes nothing but the copy in the temporary folder.
  void RunFromProductFolder();
  // The temporary copy: waits for the program that started it to end, takes the
  // installation back, tells the user, and has itself deleted at the next start
  // of Windows.
  void RunRemoval(std::uint32_t starter, const std::string& productFolder);
  // The removal itself (discovery has run), for the message that closes it.
  RemovalReport Remove(const std::string& productFolder);

 private:
  void RemoveProductFiles(const std::string& productFolder, const InstallRecord& record, RemovalReport& report);
  void RemoveWhatIsLeft(const std::string& productFolder, RemovalReport& report);
  bool RemoveFolder(const std::string& folder, bool product, RemovalReport& report);
  int Tell(const std::string& text, std::uint32_t type);

  plat::Platform& m_platform;
  CAcadSetup& m_acadSetup;
  int m_editionBits;
};

// The question, naming what will go: the product folder, the AutoCAD
// installations it is registered with, the trusted folder; the fonts stay.
std::string ComposeUninstallQuestion(int editionBits, const std::string& productFolder,
                                     const std::vector<std::string>& acadFolders);
// The closing message: removed and kept, or what failed and how to finish.
std::string ComposeClosingMessage(int editionBits, const RemovalReport& report);

}  // namespace uninstall
