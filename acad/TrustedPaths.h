// Composing AutoCAD's TRUSTEDPATHS list: folders separated by ";", where an entry
// ending in "\..." trusts that folder together with everything below it. The
// list is UTF-16, as the registry's wide calls give it, so that every character
// of every entry survives, whatever the ANSI code page holds.
#pragma once

#include <string>

// True when an entry of `list` trusts `folder`: the entry names it (one trailing
// backslash aside), or ends in "\..." and names it or a folder above it. The
// letter case of ASCII letters is ignored.
bool ListsTrustedFolder(const std::u16string& list, const std::u16string& folder);

// The value to write back over `current` so that `folder` is trusted. A value of
// at most two bytes in the ANSI code page is replaced by the folder as given;
// otherwise the list comes back with its ASCII letters upper-cased, with the
// upper-cased folder appended when it was missing.
std::u16string ComposeTrustedPaths(const std::u16string& current, const std::u16string& folder);

// `list` without its entries that name `folder` itself (one trailing backslash
// and the letter case of ASCII letters aside), every other entry and every
// character of it as it was, empty ones too. An entry "folder\..." was the
// user's, not ours: it stays. `removed`: whether any entry went.
std::u16string RemoveTrustedFolder(const std::u16string& list, const std::u16string& folder, bool* removed);
