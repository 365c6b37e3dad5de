#include "app/setupdlg/SetupRules.h"

#include "pathdialog/FolderValidation.h"
#include "text/AnsiText.h"

std::string ComposeSetupTitle(int version) {
  const int major = version / 10000;
  const int minor = (version % 10000) / 100;
  const int patch = version % 100;
  std::string title = ansi::Format(minor >= 10 ? "结构工具箱软件 V%d.%d" : "结构工具箱软件 V%d.0%d", major, minor);
  return title + ansi::Format(patch >= 10 ? ".%d" : ".0%d", patch);
}

// A folder the installation can be put into: a drive-rooted path of valid
// names ("X:" stands for the root it names once its backslash is gone), or a
// network folder, \\server\share and levels below it, where offices keep the
// tools AutoCAD loads.
bool IsInstallableFolder(const std::string& folder) {
  if (folder.rfind("\\\\", 0) != 0) {
    const std::string checked = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
    return CheckFolderPath(checked) == folder::kAccepted;
  }
  std::size_t levels = 0;
  for (std::size_t start = 2; start <= folder.size(); ++levels) {
    std::size_t end = ansi::FindAtCharBoundary(folder.substr(start), "\\");
    end = end == std::string::npos ? folder.size() : start + end;
    if (IsValidFolderName(folder.substr(start, end - start)) == 0) return false;
    start = end + 1;
  }
  return levels >= 2 && ansi::FitsFileCalls(folder);
}
