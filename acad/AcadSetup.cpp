#include "acad/AcadSetup.h"

#include "text/AnsiText.h"

void CAcadSetup::SetTargetPath(std::string folder) {
  ansi::RemoveTrailingBackslash(folder);
  m_strTargetPath = std::move(folder);
}

void CAcadSetup::Remember(RecordEntry::Kind kind, const std::u16string& path, std::uint32_t flags) {
  if (m_record == nullptr) return;
  RecordEntry entry;
  entry.kind = kind;
  entry.path = path;
  entry.flags = flags;
  if (kind == RecordEntry::kSupport) {
    plat::FileInfo info;
    // A file whose size and time cannot be read is left out: the uninstaller then keeps it, which loses nothing.
    if (!m_platform.files.GetFileAttributesExA(m_platform.text.WideCharToMultiByte(path).c_str(), &info)) return;
    entry.size = info.size;
    entry.lastWrite = info.lastWrite;
  }
  m_record->Add(entry);
}
