// Trusting the product folder in every AutoCAD profile of the current user.
#include <vector>

#include "acad/AcadSetup.h"
#include "acad/ListSubKeys.h"
#include "acad/RegistryBuffers.h"
#include "acad/TrustedPaths.h"
#include "text/AnsiText.h"

namespace {

constexpr const char* kAcadKey = "SOFTWARE\\Autodesk\\AutoCAD";
constexpr const char* kTrustedPaths = "TRUSTEDPATHS";

std::string HkcuItem(const std::string& path) { return "HKEY_CURRENT_USER\\" + path; }

// Appends `tail` to `path` after dropping one trailing backslash (the empty name
// that an unreadable subkey name yields leaves one).
std::string Below(std::string path, const char* tail) {
  ansi::RemoveTrailingBackslash(path);
  return path + tail;
}

enum class ValueRead { kAbsent, kText, kUnusable };

// Reads TRUSTEDPATHS whole, of whatever length. A value that is not a string, or
// that cannot be read, is unusable: it will be left as it is.
ValueRead ReadTrustedPaths(plat::IRegistry& reg, plat::HKey key, std::string& text, long& error) {
  std::uint32_t type = plat::kRegNone, size = 0;
  error = reg.RegQueryValueExA(key, kTrustedPaths, &type, nullptr, &size);
  if (error == plat::kErrorFileNotFound) return ValueRead::kAbsent;
  for (int attempt = 0; attempt < 3 && (error == plat::kErrorSuccess || error == plat::kErrorMoreData); ++attempt) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size) + 1, 0);
    std::uint32_t got = size;
    error = reg.RegQueryValueExA(key, kTrustedPaths, &type, data.data(), &got);
    if (error == plat::kErrorMoreData) {  // it grew in between: ask again
      size = got;
      continue;
    }
    if (error != plat::kErrorSuccess) break;
    if (type != plat::kRegSz && type != plat::kRegExpandSz) return ValueRead::kUnusable;
    const auto* chars = reinterpret_cast<const char*>(data.data());
    text.assign(chars, strnlen(chars, got));
    return ValueRead::kText;
  }
  return ValueRead::kUnusable;
}

// Opens `path` below `parent` for reading. A key that is not there is no
// failure (a product without profiles); one that is there and will not open is.
// `fullPath` names the key below HKEY_CURRENT_USER in the report.
bool OpenForListing(plat::IRegistry& reg, plat::HKey parent, const std::string& path, plat::HKey& key,
                    FailureReport& report, const std::string& fullPath) {
  const long rc = reg.RegOpenKeyExA(parent, path.c_str(), 0, plat::kKeyRead, &key);
  if (rc == plat::kErrorSuccess) return true;
  if (rc != plat::kErrorFileNotFound)
    report.push_back({Failure::kKeyNotOpened, HkcuItem(fullPath), static_cast<std::uint32_t>(rc)});
  return false;
}

bool OpenForListing(plat::IRegistry& reg, plat::HKey parent, const std::string& path, plat::HKey& key,
                    FailureReport& report) {
  return OpenForListing(reg, parent, path, key, report, path);
}

bool OpenHive(plat::IRegistry& reg, plat::HKey& hive, FailureReport& report) {
  const long rc = reg.RegOpenKeyA(plat::kHKeyCurrentUser, nullptr, &hive);
  if (rc == plat::kErrorSuccess) return true;
  report.push_back({Failure::kKeyNotOpened, "HKEY_CURRENT_USER", static_cast<std::uint32_t>(rc)});
  return false;
}

}  // namespace

std::vector<std::string> CAcadSetup::ListProfileRoots(FailureReport& report) {
  std::vector<std::string> roots;
  plat::HKey hive = 0;
  if (!OpenHive(m_reg, hive, report)) return roots;
  plat::ScopedKey hiveOwner(m_reg, hive);
  plat::HKey acadKey = 0;
  if (!OpenForListing(m_reg, hive, kAcadKey, acadKey, report)) return roots;
  plat::ScopedKey acadOwner(m_reg, acadKey);
  const std::uint32_t releases = SubKeyCount(m_reg, acadKey, HkcuItem(kAcadKey), report);
  for (std::uint32_t r = 0; r < releases; ++r) {
    KeyNameBuffer release;
    const long read = m_reg.RegEnumKeyExA(acadKey, r, release.data(), release.size());
    if (read != plat::kErrorSuccess) {
      if (read != plat::kErrorNoMoreItems)
        report.push_back({Failure::kKeyNotListed, HkcuItem(kAcadKey), static_cast<std::uint32_t>(read)});
      continue;
    }
    const std::string releasePath = ansi::Format("%s\\%s", kAcadKey, release.data());
    plat::HKey releaseKey = 0;
    if (!OpenForListing(m_reg, acadKey, release.data(), releaseKey, report, releasePath)) continue;
    plat::ScopedKey releaseOwner(m_reg, releaseKey);
    std::vector<std::string> products;
    ListSubKeys(m_reg, releaseKey, products, HkcuItem(releasePath), report);
    for (const std::string& product : products)
      roots.push_back(Below(ansi::Format("%s\\%s\\%s", kAcadKey, release.data(), product.c_str()), "\\Profiles"));
  }
  return roots;
}

std::vector<std::string> CAcadSetup::ListVariablesKeys(const std::vector<std::string>& profileRoots,
                                                       FailureReport& report) {
  std::vector<std::string> keys;
  plat::HKey hive = 0;
  if (!OpenHive(m_reg, hive, report)) return keys;
  plat::ScopedKey hiveOwner(m_reg, hive);
  for (const std::string& root : profileRoots) {
    plat::HKey rootKey = 0;
    if (!OpenForListing(m_reg, hive, root, rootKey, report)) continue;
    plat::ScopedKey rootOwner(m_reg, rootKey);
    std::vector<std::string> profiles;
    ListSubKeys(m_reg, rootKey, profiles, HkcuItem(root), report);
    for (const std::string& profile : profiles)
      keys.push_back(Below(ansi::Format("%s\\%s", root.c_str(), profile.c_str()), "\\Variables"));
  }
  return keys;
}

void CAcadSetup::TrustTargetIn(const std::string& variablesKey, FailureReport& report) {
  std::string current;
  plat::HKey key = 0;
  const long opened = m_reg.RegOpenKeyA(plat::kHKeyCurrentUser, variablesKey.c_str(), &key);
  if (opened == plat::kErrorSuccess) {
    plat::ScopedKey owner(m_reg, key);
    long error = 0;
    if (ReadTrustedPaths(m_reg, key, current, error) == ValueRead::kUnusable) {
      report.push_back(
          {Failure::kValueNotRead, HkcuItem(variablesKey) + "\\" + kTrustedPaths, static_cast<std::uint32_t>(error)});
      return;
    }
  } else if (opened != plat::kErrorFileNotFound) {
    // The key is there but will not open: its list cannot be read, so it must
    // not be overwritten.
    report.push_back({Failure::kKeyNotOpened, HkcuItem(variablesKey), static_cast<std::uint32_t>(opened)});
    return;
  }
  const std::string composed = ComposeTrustedPaths(current, m_strTargetPath);
  plat::HKey created = 0;
  const long made = m_reg.RegCreateKeyA(plat::kHKeyCurrentUser, variablesKey.c_str(), &created);
  if (made != plat::kErrorSuccess) {
    report.push_back({Failure::kKeyNotCreated, HkcuItem(variablesKey), static_cast<std::uint32_t>(made)});
    return;
  }
  plat::ScopedKey owner(m_reg, created);
  const long written = m_reg.RegSetValueExA(created, kTrustedPaths, 0, plat::kRegSz,
                                            reinterpret_cast<const std::uint8_t*>(composed.c_str()),
                                            static_cast<std::uint32_t>(composed.size() + 1));
  if (written != plat::kErrorSuccess)
    report.push_back({Failure::kValueNotWritten, HkcuItem(variablesKey) + "\\" + kTrustedPaths,
                      static_cast<std::uint32_t>(written)});
}

FailureReport CAcadSetup::UpdateTrustedPaths() {
  FailureReport report;
  const std::vector<std::string> variablesKeys = ListVariablesKeys(ListProfileRoots(report), report);
  for (const std::string& key : variablesKeys) TrustTargetIn(key, report);
  return report;
}
