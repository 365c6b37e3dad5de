#include "acad/AcadSetup.h"

#include "text/AnsiText.h"
#include "text/CodePage.h"

void CAcadSetup::SetTargetPath(std::string folder) {
  ansi::RemoveTrailingBackslash(folder);
  m_strTargetPath = std::move(folder);
}

void CAcadSetup::Remember(RecordEntry::Kind kind, const std::u16string& path, FailureReport& report,
                          std::uint32_t flags) {
  if (m_record == nullptr) return;
  RecordEntry entry;
  entry.kind = kind;
  entry.path = path;
  entry.flags = flags;
  if (kind == RecordEntry::kSupport) {
    plat::FileInfo info;
    const std::string file = ansi::Narrow(path);
    // Placed but not recorded, it would stay when Vellmark goes: the installation is not complete.
    if (!m_platform.files.GetFileAttributesExA(file.c_str(), &info))
      return Report(report, Failure::kFileNotRead, file, static_cast<long>(m_platform.files.GetLastError()));
    entry.size = info.size;
    entry.lastWrite = info.lastWrite;
  }
  m_record->Add(entry);
}
