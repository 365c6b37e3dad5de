// libFuzzer targets for the code that takes text from outside: registry values,
// typed folders and TRUSTEDPATHS lists. Each target checks the properties that
// must hold for any input, not just that nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "acad/AcadSetup.h"
#include "acad/TrustedPaths.h"
#include "pathdialog/FolderValidation.h"
#include "text/AnsiText.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
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

[[maybe_unused]] void FuzzTrustedPaths(const std::string& input) {
  // Both come in as C strings: the value as read ends at its first NUL, and so
  // does the folder the user typed.
  const std::string text = input.substr(0, input.find('\0'));
  const std::size_t cut = text.find('\n');
  const std::string current = text.substr(0, cut);
  const std::string folder = cut == std::string::npos ? "C:\\Tools\\Vellmark" : text.substr(cut + 1);
  if (folder.empty()) return;  // the install folder is validated long before
  const std::string composed = ComposeTrustedPaths(current, folder);
  if (current.size() <= 2) return Require(composed == folder);
  const std::string upper = ansi::UpperAscii(current);
  if (ListsTrustedFolder(current, folder))
    Require(composed == upper);
  else
    Require(composed == upper + ";" + ansi::UpperAscii(folder));
  // Once in, the folder stays in, and a second run changes nothing.
  if (folder.find(';') == std::string::npos) {
    Require(ListsTrustedFolder(composed, folder));
    Require(ComposeTrustedPaths(composed, folder) == composed);
  }
}

[[maybe_unused]] void FuzzUpperAscii(const std::string& text) {
  const std::string upper = ansi::UpperAscii(text);
  Require(upper.size() == text.size());
  Require(ansi::UpperAscii(upper) == upper);
  for (std::size_t i = 0; i < text.size(); i += ansi::CharLength(text, i))
    if (ansi::CharLength(text, i) == 2) Require(upper.compare(i, 2, text, i, 2) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = Text(data, size);
#if defined(VM_FUZZ_CLASSIFY)
  FuzzClassify(input);
#elif defined(VM_FUZZ_FOLDER)
  FuzzFolder(input);
#elif defined(VM_FUZZ_TRUSTED_PATHS)
  FuzzTrustedPaths(input);
#elif defined(VM_FUZZ_UPPER)
  FuzzUpperAscii(input);
#endif
  return 0;
}
