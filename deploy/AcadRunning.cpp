#include "deploy/AcadRunning.h"

#include "text/AnsiText.h"

bool IsAcadRunning(plat::IProcessList& processes) {
  const std::string wanted = ansi::LowerAscii("acad.exe");
  plat::ScopedSnapshot snapshot(processes, processes.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return false;
  plat::ProcessEntry entry;
  for (bool more = processes.Process32First(snapshot.get(), &entry); more;
       more = processes.Process32Next(snapshot.get(), &entry)) {
    // A substring test: "myacad.exe" and "acad.exe.bak" count too.
    if (ansi::FindAtCharBoundary(ansi::LowerAscii(entry.exeFile), wanted) != std::string::npos) return true;
  }
  return false;
}
