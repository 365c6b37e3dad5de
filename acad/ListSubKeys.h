#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"

// Appends to `names` the names of the direct subkeys of `key` that open for
// reading, in enumeration order; `names` is not cleared first. A name that cannot
// be read comes out empty (the empty name opens the key itself).
void ListSubKeys(plat::IRegistry& reg, plat::HKey key, std::vector<std::string>& names);
