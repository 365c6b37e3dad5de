#pragma once

#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "platform/Registry.h"

// Appends to `names` the names of the direct subkeys of `key` that open for
// reading, in enumeration order; `names` is not cleared first. A name that cannot
// be read comes out empty (the empty name opens the key itself).
void ListSubKeys(plat::IRegistry& reg, plat::HKey key, std::vector<std::string>& names);

// The same listing, telling in `report` what could not be read: the number of
// subkeys, a subkey's name, or a subkey that is there but would not open. `item`
// names `key` in the report.
void ListSubKeys(plat::IRegistry& reg, plat::HKey key, std::vector<std::string>& names, const std::string& item,
                 FailureReport& report);

// The number of direct subkeys; 0, reported, when it cannot be had.
std::uint32_t SubKeyCount(plat::IRegistry& reg, plat::HKey key, const std::string& item, FailureReport& report);
