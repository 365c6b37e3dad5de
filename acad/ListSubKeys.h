#pragma once

#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "platform/Platform.h"

// Appends to `names` the names of the direct subkeys of `key` that open for
// reading, in enumeration order; `names` is not cleared first. The names are
// read with the wide calls, so that every character of them survives. A name
// that cannot be read comes out empty (the empty name opens the key itself).
// What could not be read (the number of subkeys, a name, a subkey that is there
// but would not open) goes into `report`, where `item` names `key`.
void ListSubKeys(plat::Platform& platform, HKEY key, std::vector<std::u16string>& names, const std::string& item,
                 FailureReport& report);

// The number of direct subkeys; 0, reported, when it cannot be had.
std::uint32_t SubKeyCount(plat::IRegistry& reg, HKEY key, const std::string& item, FailureReport& report);
