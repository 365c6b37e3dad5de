// Discovery and the trusted-path update against Wine's real registry: synthetic
// machines of growing size in scratch keys (HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER redirected there, as the tests do), timed over the real
// Win32 layer. Time should grow linearly with the number of keys, and with the
// size of the trusted-path lists.
#include <cstdio>
#include <string>

#include "acad/AcadSetup.h"
#include "bench/win/BenchCommon.h"
#include "bench/win/BenchModes.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessList.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace {

constexpr int kProductsPerRelease = 5;

struct RealPlatform {
  w32::Win32Registry registry;
  w32::Win32FileSystem files;
  w32::Win32ProcessList processes;
  w32::Win32Shell shell;
  plat::Platform platform{registry, files, processes, shell};
};

// The two hives in scratch keys below the real HKEY_CURRENT_USER, for one size.
class ScratchHives {
 public:
  ScratchHives() : m_path("Software\\VellmarkBench\\" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    for (auto [hive, name] : {std::pair{HKEY_LOCAL_MACHINE, "\\HKLM"}, std::pair{HKEY_CURRENT_USER, "\\HKCU"}}) {
      HKEY key = nullptr;
      RegCreateKeyA(HKEY_CURRENT_USER, (m_path + name).c_str(), &key);
      RegOverridePredefKey(hive, key);
      RegCloseKey(key);
    }
  }
  ~ScratchHives() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
  }
  ScratchHives(const ScratchHives&) = delete;
  ScratchHives& operator=(const ScratchHives&) = delete;

 private:
  std::string m_path;
};

void SetText(HKEY hive, const std::string& key, const char* name, const std::string& text) {
  HKEY handle = nullptr;
  RegCreateKeyA(hive, key.c_str(), &handle);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(handle);
}

// Twenty releases of five products each, and unrelated keys in groups of ten,
// each with a value the search reads past: about `totalKeys` keys.
void BuildMachine(int totalKeys) {
  const int perRelease = totalKeys / acad::kReleaseCount;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    const int year = acad::kFirstRelease + k;
    const std::string release = "SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_string(17 + k) + ".0\\";
    for (int p = 0; p < kProductsPerRelease; ++p) {
      const std::string product = release + "ACAD-" + std::to_string(p) + "001:804";
      SetText(HKEY_LOCAL_MACHINE, product, "AcadLocation", "C:\\Program Files\\AutoCAD " + std::to_string(year));
      SetText(HKEY_LOCAL_MACHINE, product, "ProductName", "AutoCAD " + std::to_string(year) + " - 简体中文");
    }
    for (int u = 0; u < perRelease - kProductsPerRelease; ++u)
      SetText(HKEY_LOCAL_MACHINE, release + "Extras\\G" + std::to_string(u / 10) + "\\K" + std::to_string(u % 10),
              "Setting", "value " + std::to_string(u));
  }
}

// Upper-case folders separated by ";", ending with the product folder, `size`
// bytes long: every list is scanned to its end and written back as it was.
std::string TrustedList(std::size_t size, const std::string& target) {
  std::string list;
  for (int n = 0; list.size() + target.size() + 1 < size; ++n) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "D:\\LIBRARY\\BLOCKS%06d\\...;", n);
    list += entry;
  }
  list.resize(size > target.size() + 1 ? size - target.size() - 1 : 0, 'X');
  return list + ";" + target;
}

}  // namespace

int RunDiscoveryBench(int rounds, int keys) {
  ScratchHives hives;
  const double built = bench::NowMs();
  BuildMachine(keys);
  std::printf("machine of %d keys made in %.0f ms\n", keys, bench::NowMs() - built);
  RealPlatform real;
  std::vector<double> times;
  std::size_t found = 0;
  for (int r = 0; r < rounds; ++r) {
    CAcadSetup acad(real.platform);
    const double start = bench::NowMs();
    acad.DiscoverReleases();
    times.push_back(bench::NowMs() - start);
    found = 0;
    for (int k = 0; k < acad::kReleaseCount; ++k) found += acad.InstallFolders(k).size();
  }
  if (found != static_cast<std::size_t>(acad::kReleaseCount * kProductsPerRelease)) {
    std::fprintf(stderr, "discovery found %zu installations\n", found);
    return 1;
  }
  std::printf("RESULT discovery keys=%d ms=%.2f\n", keys, bench::Median(times));
  return 0;
}

int RunTrustedPathsBench(int rounds, int profiles, int bytes) {
  ScratchHives hives;
  const std::string target = "C:\\KAVTOR\\VELLMARK";
  const std::string list = TrustedList(static_cast<std::size_t>(bytes), target);
  // 20 releases x 3 products, the profiles shared out among them.
  for (int i = 0; i < profiles; ++i) {
    char key[160];
    std::snprintf(key, sizeof key, "SOFTWARE\\Autodesk\\AutoCAD\\R%d.0\\ACAD-%d001:804\\Profiles\\P%04d\\Variables",
                  17 + i % 20, i / 20 % 3, i);
    SetText(HKEY_CURRENT_USER, key, "TRUSTEDPATHS", list);
  }
  RealPlatform real;
  CAcadSetup acad(real.platform);
  acad.SetTargetPath(target);
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    const double start = bench::NowMs();
    const std::size_t failures = acad.UpdateTrustedPaths().size();
    times.push_back(bench::NowMs() - start);
    if (failures != 0) {
      std::fprintf(stderr, "the update reported %zu failures\n", failures);
      return 1;
    }
  }
  const double ms = bench::Median(times);
  std::printf("RESULT trusted profiles=%d bytes=%d ms=%.2f ns_per_byte=%.3f\n", profiles, bytes, ms,
              ms * 1e6 / (static_cast<double>(bytes) * profiles));
  return 0;
}
