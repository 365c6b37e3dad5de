// How FindFirstFileA matches a mask against the names of a folder on NTFS.
//
// kernelbase rewrites the mask into the DOS wildcards before the file system
// sees it: '?' becomes DOS_QM; '.' followed by '?', '*' or the end becomes
// DOS_DOT; '*' followed by '.' becomes DOS_STAR. The file system then matches
// the way FsRtlIsNameInExpression does, ignoring case (upcased UTF-16):
//
//   *         any run of characters
//   DOS_STAR  any run that does not pass the name's last '.'
//   DOS_QM    one character, or none at a '.' or at the end of the name
//   DOS_DOT   a '.', or nothing at the end of the name
//
// So "*.*" matches "noext", "*." matches only names without a dot (and "." and
// ".."), "a?" matches "a" as well as "ab", and '?' never matches a '.'. One GBK
// character is one UTF-16 character, so '?' matches "中".
//
// Not modelled: 8.3 short names, which NTFS matches too ("*.htm" also finds
// "page.html" through its short name "PAGE~1.HTM" on a volume that has them).
#pragma once

#include <string>
#include <string_view>

namespace mem::wildcard {

// True when the mask has a character that makes it a pattern rather than a name.
bool HasWildcards(std::string_view mask);

// True when the name (GBK) matches the mask (GBK) as FindFirstFileA matches it.
bool Matches(std::string_view mask, std::string_view name);

}  // namespace mem::wildcard
