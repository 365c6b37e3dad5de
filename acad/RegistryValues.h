// Reading and writing registry values and keys the way every part of the
// installation and of the removal does: each failure goes into the report under
// `item`, the key as the user is told it (with its hive), and the work carries on.
#pragma once

#include <cstdint>
#include <string>

#include "acad/FailureReport.h"
#include "platform/Registry.h"

// A key below HKEY_LOCAL_MACHINE as the user is told it.
inline std::string HklmItem(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }

// A string value of any length in the ANSI code page, up to its first NUL.
// ERROR_SUCCESS; ERROR_FILE_NOT_FOUND when there is no string value of that
// name; or the error of the read that failed.
long ReadString(plat::IRegistry& reg, HKEY key, const char* name, std::string& text);

// REG_DWORD, four bytes little-endian.
void WriteDword(plat::IRegistry& reg, HKEY key, const std::string& item, const char* name, std::uint32_t value,
                FailureReport& report);
// REG_SZ in the ANSI code page, its terminating NUL included in the size.
void WriteString(plat::IRegistry& reg, HKEY key, const std::string& item, const char* name, const std::string& text,
                 FailureReport& report);
// Deletes and creates `subKey` below `parent`, so that it holds exactly what is
// written next (a key with subkeys cannot be deleted: it is opened and
// overwritten). 0, reported, when it cannot be created; the caller owns the key.
HKEY RecreateKey(plat::IRegistry& reg, HKEY parent, const std::string& item, const std::string& subKey,
                 FailureReport& report);
