// libFuzzer targets for the code that takes text from outside (registry values, typed folders, TRUSTEDPATHS lists,
// the record an installation left): each checks the properties that must hold for any input, not just that nothing
// crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "acad/ReleaseTable.h"
#include "acad/TrustedPaths.h"
#include "deploy/InstallRecord.h"
#include "pathdialog/FolderValidation.h"
#include "text/AnsiText.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

[[maybe_unused]] void FuzzClassify(const std::string& name) {
  const int year = ClassifyProductName(name, acad::kLastRelease);
  Require(year == 0 || (year >= acad::kFirstRelease && year <= acad::kLastRelease));
  if (year != 0) Require(name.find(std::to_string(year)) >= 1);
}

[[maybe_unused]] void FuzzFolder(const std::string& path) {
  const int code = CheckFolderPath(path);
  Require(code == 0 || code == 1);  // a check never fails to create
  Require(IsValidFolderName(path) == 0 || IsValidFolderName(path) == 1);
  if (code == 0) Require(path.size() >= 3 && path[1] == ':' && path[2] == '\\');
}

// The input as UTF-16 code units, two bytes each: any unit, surrogates paired or not, may come from the registry.
std::u16string Units(const std::string& bytes) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    units +=
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return units;
}

[[maybe_unused]] void FuzzTrustedPaths(const std::string& input) {
  // Both come in as texts ending at their first NUL: the value as read, and the folder the user typed.
  std::u16string text = Units(input);
  text = text.substr(0, text.find(u'\0'));
  const std::size_t cut = text.find(u'\n');
  const std::u16string current = text.substr(0, cut);
  const std::u16string folder = cut == std::u16string::npos ? u"C:\\Tools\\Vellmark" : text.substr(cut + 1);
  if (folder.empty()) return;  // the install folder is validated long before
  const std::u16string composed = ComposeTrustedPaths(current, folder);
  if (composed == folder) return;  // a value too short to be a list
  // Only ASCII letters change: every other unit of the list survives in place.
  Require(composed.compare(0, current.size(), ansi::UpperAscii(current)) == 0);
  Require(ansi::UpperAscii(current).size() == current.size());
  if (ListsTrustedFolder(current, folder))
    Require(composed.size() == current.size());
  else
    Require(composed == ansi::UpperAscii(current) + u";" + ansi::UpperAscii(folder));
  // Once in, the folder stays in, and a second run changes nothing.
  if (folder.find(u';') == std::u16string::npos) {
    Require(ListsTrustedFolder(composed, folder));
    Require(ComposeTrustedPaths(composed, folder) == composed);
  }
  // Taken out again, it leaves the list as the installer found it, upper-cased: what it appended and nothing else.
  bool removed = false;
  const std::u16string left = RemoveTrustedFolder(composed, folder, &removed);
  Require(left.size() <= composed.size());
  bool again = true;
  Require(RemoveTrustedFolder(left, folder, &again) == left && !again);
  // (The product folder never ends with a backslash.)
  if (!ListsTrustedFolder(current, folder) && folder.find(u';') == std::u16string::npos && folder.back() != u'\\') {
    bool inCurrent = false;
    RemoveTrustedFolder(current, folder, &inCurrent);
    if (!inCurrent) Require(removed && left == ansi::UpperAscii(current));
  }
}

[[maybe_unused]] void FuzzUpperAscii(const std::string& text) {
  const std::string upper = ansi::UpperAscii(text);
  Require(upper.size() == text.size());
  Require(ansi::UpperAscii(upper) == upper);
  for (std::size_t i = 0; i < text.size(); i += ansi::CharLength(text, i))
    if (ansi::CharLength(text, i) == 2) Require(upper.compare(i, 2, text, i, 2) == 0);
}

// A record file as it may be found: written by us, cut short, edited by hand. What parses writes back as the same
// bytes, once normalised, and reads back as the same entries.
[[maybe_unused]] void FuzzRecord(const std::string& bytes) {
  InstallRecord record;
  if (!ParseRecord(bytes, record)) return;
  const std::string formatted = FormatRecord(record);
  InstallRecord again;
  Require(ParseRecord(formatted, again));
  Require(FormatRecord(again) == formatted);
  Require(again.Entries().size() == record.Entries().size());
  for (const RecordEntry& entry : record.Entries()) Require(!entry.path.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
#if defined(VM_FUZZ_CLASSIFY)
  FuzzClassify(input);
#elif defined(VM_FUZZ_FOLDER)
  FuzzFolder(input);
#elif defined(VM_FUZZ_TRUSTED_PATHS)
  FuzzTrustedPaths(input);
#elif defined(VM_FUZZ_UPPER)
  FuzzUpperAscii(input);
#elif defined(VM_FUZZ_RECORD)
  FuzzRecord(input);
#endif
  return 0;
}
