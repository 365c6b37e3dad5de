// What an installation wrote, kept beside the uninstaller in the product folder,
// so that the uninstaller takes back what was written and nothing else. A second
// installation into the same folder adds to it.
//
// On disk it is a text file in UTF-16LE with a byte-order mark, one entry a line,
// fields separated by tabs (a tab, a line break or a '%' inside a name is written
// %09, %0A, %25: registry key names may hold any of them):
//   file     NAME  SIZE  WRITETIME   a package file copied into the product folder
//   support  PATH  SIZE  WRITETIME   a file placed into an AutoCAD folder
//   trusted  KEY   FLAGS             a Variables key below HKEY_CURRENT_USER whose
//                                    TRUSTEDPATHS got the product folder
//   key      KEY                     a key below HKEY_LOCAL_MACHINE it created
// SIZE and WRITETIME (FILETIME) tell a file changed since from one left as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RecordEntry {
  enum Kind { kFile, kSupport, kTrusted, kKey };
  // What the installation found at a trusted key: the key or the value missing.
  static constexpr std::uint32_t kCreatedKey = 1, kCreatedValue = 2;

  Kind kind = kFile;
  std::u16string path;
  std::uint64_t size = 0, lastWrite = 0;
  std::uint32_t flags = 0;
};

class InstallRecord {
 public:
  // A second entry for the same path (letter case of ASCII letters aside) replaces
  // the first, a trusted key's flags kept: what it found the first time stays true.
  void Add(const RecordEntry& entry);
  void Merge(const InstallRecord& other);
  const RecordEntry* Find(RecordEntry::Kind kind, const std::u16string& path) const;
  const std::vector<RecordEntry>& Entries() const { return m_entries; }
  bool Empty() const { return m_entries.empty(); }

 private:
  std::vector<RecordEntry> m_entries;
};

// The file's bytes, and back. Parsing is false for anything this program did not
// write: no byte-order mark, an odd length, an unknown kind, a field missing or a
// number that is not one.
std::string FormatRecord(const InstallRecord& record);
bool ParseRecord(const std::string& bytes, InstallRecord& record);
