// Registry fixtures as .reg files, in the form regedit writes and reads
// ("Windows Registry Editor Version 5.00"), so that unit tests, the demo and the
// Wine prefix of the end-to-end tests (`regedit /S`) share one readable source.
//
// Reading accepts UTF-16LE with BOM (what regedit writes) and UTF-8 with or
// without BOM (what a fixture in the source tree is). It knows sections
// [HKEY_LOCAL_MACHINE\...] and [HKEY_CURRENT_USER\...], deletions [-KEY] and
// "name"=-, the default value @=, "text" with \\ and \" escapes, dword:, hex:,
// hex(N): with continuation lines ending in a backslash, comment lines starting
// with ';', and blank lines. Texts become GBK (code page 936) for storage, as a
// Chinese Windows hands them to the ANSI calls; the UTF-16LE payloads of
// hex(1), hex(2) and hex(7) become GBK strings too.
//
// Loading is all or nothing: the whole text is checked first, and only a text
// without errors changes the registry. A malformed one is refused with the
// 1-based line and the reason, and leaves the registry exactly as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/memory/MemoryRegistry.h"

namespace mem {

struct RegFileError {
  std::size_t line = 0;  // 1-based; 0 when it concerns no single line
  std::string reason;
};

bool LoadRegFile(MemoryRegistry& registry, std::string_view fileBytes, RegFileError* error = nullptr);

// The key at `path` ("HKEY_CURRENT_USER\\Software\\Autodesk", GBK) with all below
// it, or both hives for an empty path, as regedit exports it: UTF-16LE with BOM,
// CRLF line ends, keys in enumeration order, values in theirs. False when the
// key is missing or a name or string is not valid GBK (error->reason says which).
bool WriteRegFile(const MemoryRegistry& registry, const std::string& path, std::string* fileBytes,
                  RegFileError* error = nullptr);

}  // namespace mem
