#include "acad/TrustedPaths.h"
#include <string>

#include "text/AnsiText.h"

namespace {

constexpr const char* kSubfolderMark = "\\...";

bool IsFolderOrBelow(const std::string& folder, const std::string& top) {
  if (folder == top) return true;
  return folder.size() > top.size() && folder.compare(0, top.size(), top) == 0 && folder[top.size()] == '\\' &&
         ansi::IsCharBoundary(folder, top.size());
}

bool EntryTrusts(std::string entry, const std::string& folder) {
  const std::size_t mark = entry.size() >= 4 ? entry.size() - 4 : std::string::npos;
  if (mark != std::string::npos && entry.compare(mark, 4, kSubfolderMark) == 0 && ansi::IsCharBoundary(entry, mark)) {
    std::string top = entry.substr(0, mark);
    ansi::RemoveTrailingBackslash(top);
    if (!top.empty() && IsFolderOrBelow(folder, top)) return true;
  }
  ansi::RemoveTrailingBackslash(entry);
  return entry == folder;
}

}  // namespace

bool ListsTrustedFolder(const std::string& list, const std::string& folder) {
  // ";" never occurs inside a double-byte character (trail bytes start at 0x40).
  std::string upperFolder = ansi::UpperAscii(folder);
  ansi::RemoveTrailingBackslash(upperFolder);
  const std::string entries = ansi::UpperAscii(list);
  for (std::size_t begin = 0; begin <= entries.size();) {
    std::size_t end = entries.find(';', begin);
    if (end == std::string::npos) end = entries.size();
    if (EntryTrusts(entries.substr(begin, end - begin), upperFolder)) return true;
    begin = end + 1;
  }
  return false;
}

std::string ComposeTrustedPaths(const std::string& current, const std::string& folder) {
  if (current.size() <= 2) return folder;
  std::string upper = ansi::UpperAscii(current);
  if (ListsTrustedFolder(current, folder)) return upper;
  return ansi::Format("%s;%s", upper.c_str(), ansi::UpperAscii(folder).c_str());
}
