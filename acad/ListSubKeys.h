#pragma once

#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "platform/Platform.h"

// The names of the direct subkeys of `key`, in enumeration order, read with the
// ANSI calls for char and the wide ones for char16_t (every character survives
// those). What cannot be read (the number of subkeys, a name) is passed over and
// goes into `report` as a listing failure of `item`, the name of `key`; a subkey
// deleted meanwhile only shortens the list.
template <class Char>
std::vector<std::basic_string<Char>> SubKeyNames(plat::IRegistry& reg, HKEY key, const std::string& item,
                                                 FailureReport& report);

// Appends to `names` the names of the direct subkeys of `key` that open for
// reading, in enumeration order, read with the wide calls; `names` is not
// cleared first. What could not be read, and a subkey that is there but would
// not open, goes into `report`.
void ListSubKeys(plat::Platform& platform, HKEY key, std::vector<std::u16string>& names, const std::string& item,
                 FailureReport& report);
