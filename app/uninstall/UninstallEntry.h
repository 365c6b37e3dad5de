// The installation's entry in Windows' list of programs (Apps & Features; Programs
// and Features before it): a key below the Uninstall key of HKEY_LOCAL_MACHINE in
// the process's own registry view, so that the 32-bit edition's entry lands in the
// 32-bit view of 64-bit Windows, as Windows expects of a 32-bit program.
#pragma once

#include <cstdint>
#include <string>

#include "acad/FailureReport.h"
#include "platform/Registry.h"

namespace uninstall {

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// This edition's entry, below kUninstallKey: each edition has its own, and an
// installation into another folder takes it over.
std::string EntryKey(int editionBits);

// Written anew, so that an earlier installation's values do not linger: the
// name naming the edition, version, publisher, the product folder, the uninstaller
// (icon and command), the size in KiB, and no Modify or Repair button.
void WriteEntry(plat::IRegistry& reg, int editionBits, const std::string& productFolder, std::uint32_t sizeKb,
                FailureReport& report);
// The product folder this edition's entry names (empty when it names none), and
// the result of reading it: ERROR_FILE_NOT_FOUND when there is no entry.
long EntryLocation(plat::IRegistry& reg, int editionBits, std::string& folder);
// A missing entry is no failure.
void DeleteEntry(plat::IRegistry& reg, int editionBits, FailureReport& report);
// Whether this user may make the entry: the deepest key on its way that exists,
// opened for making subkeys (nothing is written).
void CheckEntryRights(plat::IRegistry& reg, FailureReport& report);

}  // namespace uninstall
