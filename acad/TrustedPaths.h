// Composing AutoCAD's TRUSTEDPATHS list: folders separated by ";", where an entry
// ending in "\..." trusts that folder together with everything below it.
#pragma once

#include <string>

// True when an entry of `list` trusts `folder`: the entry names it (one trailing
// backslash aside), or ends in "\..." and names it or a folder above it. Letter
// case is ignored; double-byte characters are compared whole.
bool ListsTrustedFolder(const std::string& list, const std::string& folder);

// The value to write back over `current` so that `folder` is trusted. A value of
// at most two bytes is replaced by the folder as given; otherwise the list comes
// back upper-cased, with the upper-cased folder appended when it was missing.
std::string ComposeTrustedPaths(const std::string& current, const std::string& folder);
