// DiscoverReleases over synthetic registries of growing size: twenty releases,
// several products each, and many unrelated keys and values that the depth-first
// search has to walk through. Time should grow linearly with the number of keys.
#include <benchmark/benchmark.h>

#include <string>

#include "acad/AcadSetup.h"
#include "platform/memory/MemoryMachine.h"

namespace {

constexpr int kProductsPerRelease = 5;

// Fills `m` with about `totalKeys` keys below the two AutoCAD branches.
void BuildRegistry(mem::MemoryMachine& m, int totalKeys) {
  const std::string main = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\";
  const int perRelease = totalKeys / acad::kReleaseCount;
  for (int k = 0; k < acad::kReleaseCount; ++k) {
    const int year = acad::kFirstRelease + k;
    const std::string release = main + "R" + std::to_string(17 + k) + ".0\\";
    for (int p = 0; p < kProductsPerRelease; ++p) {
      const std::string product = release + "ACAD-" + std::to_string(p) + "001:804";
      m.registry.SetString(product, "AcadLocation", "C:\\Program Files\\AutoCAD " + std::to_string(year));
      m.registry.SetString(product, "ProductName", "AutoCAD " + std::to_string(year) + " - 简体中文");
    }
    // Unrelated keys in groups of ten leaves, each leaf with a value the search reads past.
    const int unrelated = perRelease - kProductsPerRelease;
    for (int u = 0; u < unrelated; ++u) {
      const std::string group = release + "Extras\\G" + std::to_string(u / 10);
      m.registry.SetString(group + "\\K" + std::to_string(u % 10), "Setting", "value " + std::to_string(u));
    }
  }
}

void BM_DiscoverReleases(benchmark::State& state) {
  mem::MemoryMachine m;
  BuildRegistry(m, static_cast<int>(state.range(0)));
  std::size_t found = 0;
  for (auto _ : state) {
    CAcadSetup acad(m.platform);
    acad.DiscoverReleases();
    found = 0;
    for (int k = 0; k < acad::kReleaseCount; ++k) found += acad.InstallFolders(k).size();
    benchmark::DoNotOptimize(found);
  }
  if (found != static_cast<std::size_t>(acad::kReleaseCount * kProductsPerRelease))
    state.SkipWithError("discovery found the wrong number of installations");
  state.counters["keys"] = static_cast<double>(state.range(0));
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_DiscoverReleases)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
