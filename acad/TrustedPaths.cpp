#include "acad/TrustedPaths.h"

#include "text/AnsiText.h"

namespace {

const std::u16string kSubfolderMark = u"\\...";

bool IsFolderOrBelow(const std::u16string& folder, const std::u16string& top) {
  return folder == top ||
         (folder.size() > top.size() && folder.compare(0, top.size(), top) == 0 && folder[top.size()] == u'\\');
}

bool EntryTrusts(std::u16string entry, const std::u16string& folder) {
  if (entry.size() >= kSubfolderMark.size() &&
      entry.compare(entry.size() - kSubfolderMark.size(), kSubfolderMark.size(), kSubfolderMark) == 0) {
    std::u16string top = entry.substr(0, entry.size() - kSubfolderMark.size());
    ansi::RemoveTrailingBackslash(top);
    if (!top.empty() && IsFolderOrBelow(folder, top)) return true;
  }
  ansi::RemoveTrailingBackslash(entry);
  return entry == folder;
}

// Bytes in code page 936: one for ASCII, two for anything else (a character the
// code page lacks counts as the two or more bytes another encoding needs).
std::size_t AnsiLength(const std::u16string& text) {
  std::size_t bytes = 0;
  for (char16_t unit : text) bytes += unit < 0x80 ? 1 : 2;
  return bytes;
}

}  // namespace

bool ListsTrustedFolder(const std::u16string& list, const std::u16string& folder) {
  std::u16string upperFolder = ansi::UpperAscii(folder);
  ansi::RemoveTrailingBackslash(upperFolder);
  const std::u16string entries = ansi::UpperAscii(list);
  for (std::size_t begin = 0; begin <= entries.size();) {
    std::size_t end = entries.find(u';', begin);
    if (end == std::u16string::npos) end = entries.size();
    if (EntryTrusts(entries.substr(begin, end - begin), upperFolder)) return true;
    begin = end + 1;
  }
  return false;
}

std::u16string ComposeTrustedPaths(const std::u16string& current, const std::u16string& folder) {
  if (AnsiLength(current) <= 2) return folder;
  std::u16string upper = ansi::UpperAscii(current);
  if (ListsTrustedFolder(current, folder)) return upper;
  return upper + u";" + ansi::UpperAscii(folder);
}

std::u16string RemoveTrustedFolder(const std::u16string& list, const std::u16string& folder, bool* removed) {
  std::u16string wanted = ansi::UpperAscii(folder);
  ansi::RemoveTrailingBackslash(wanted);
  std::u16string kept;
  bool first = true;
  *removed = false;
  for (std::size_t begin = 0; begin <= list.size();) {
    std::size_t end = list.find(u';', begin);
    if (end == std::u16string::npos) end = list.size();
    const std::u16string entry = list.substr(begin, end - begin);
    std::u16string named = ansi::UpperAscii(entry);
    ansi::RemoveTrailingBackslash(named);
    if (!wanted.empty() && named == wanted) {
      *removed = true;
    } else {
      if (!first) kept += u';';
      kept += entry;
      first = false;
    }
    begin = end + 1;
  }
  return kept;
}
