// UpdateTrustedPaths over a current user's hive with 20 releases x 3 products x
// 20 profiles, each profile's TRUSTEDPATHS holding about 100 B, 10 KiB or 1 MiB.
// The product folder is the list's last entry, so every list is scanned to its end
// and written back unchanged in size: the registry is the same at every iteration.
// Time should grow linearly with the value size; the ns_per_byte counter shows
// the cost of one byte of one value.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "acad/AcadSetup.h"
#include "platform/memory/MemoryMachine.h"

namespace {

constexpr int kReleases = 20;
constexpr int kProducts = 3;
constexpr int kProfiles = 20;
constexpr int kVariablesKeys = kReleases * kProducts * kProfiles;
constexpr const char* kTarget = "C:\\KAVTOR\\VELLMARK";

// Upper-case folders separated by ";", ending with the product folder, `size`
// bytes long (the first entry is cut to fit).
std::string TrustedList(std::size_t size) {
  const std::string tail = std::string(";") + kTarget;
  std::string list;
  for (int n = 0; list.size() + tail.size() < size; ++n) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "D:\\LIBRARY\\BLOCKS%06d\\...;", n);
    list += entry;
  }
  list.resize(size > tail.size() ? size - tail.size() : 0, 'X');
  return list + tail;
}

std::string VariablesKey(int r, int p, int u) {
  char path[160];
  std::snprintf(
      path, sizeof path,
      "HKEY_CURRENT_USER\\SOFTWARE\\Autodesk\\AutoCAD\\R%d.0\\ACAD-%d001:804\\Profiles\\Profile%02d\\Variables", 17 + r,
      p, u);
  return path;
}

void BuildHive(mem::MemoryMachine& m, const std::string& list) {
  for (int r = 0; r < kReleases; ++r)
    for (int p = 0; p < kProducts; ++p)
      for (int u = 0; u < kProfiles; ++u) m.registry.SetString(VariablesKey(r, p, u), "TRUSTEDPATHS", list);
}

void BM_UpdateTrustedPaths(benchmark::State& state) {
  const std::size_t valueSize = static_cast<std::size_t>(state.range(0));
  const std::string list = TrustedList(valueSize);
  mem::MemoryMachine m;
  BuildHive(m, list);
  CAcadSetup acad(m.platform);
  acad.SetTargetPath(kTarget);
  std::size_t failures = 0;
  for (auto _ : state) {
    failures += acad.UpdateTrustedPaths().size();
    benchmark::ClobberMemory();
  }
  // Every list already trusts the folder: each one must come back as it was.
  if (failures != 0) state.SkipWithError("UpdateTrustedPaths reported failures");
  for (int r = 0; r < kReleases; r += kReleases - 1)
    if (m.registry.GetString(VariablesKey(r, kProducts - 1, kProfiles - 1), "TRUSTEDPATHS") != list)
      state.SkipWithError("a trusted-path list changed");
  const double bytes = static_cast<double>(valueSize) * kVariablesKeys;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["value_bytes"] = static_cast<double>(valueSize);
  state.counters["ns_per_byte"] =
      benchmark::Counter(bytes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_UpdateTrustedPaths)
    ->Arg(100)
    ->Arg(10 * 1024)
    ->Arg(1024 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
