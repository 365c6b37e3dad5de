// The benchmarks of vm_bench.exe, one per command.
#pragma once

#include <string>

// CopyPackage against the CopyFileA loop; the package is Data beside the program,
// the copies go below `work`.
int RunCopyBench(int rounds, const std::string& work);
// SetUp.exe's whole installation (its Data beside it) against the CopyFileA loop
// over the same files into `work`.
int RunInstallBench(int rounds, const std::string& setup, const std::string& work);
// Time from process start to the dialog shown: SetUp.exe against the minimal
// dialog program.
int RunStartupBench(int rounds, const std::string& setup, const std::string& minimal);
// DiscoverReleases over a synthetic machine of about `keys` registry keys.
int RunDiscoveryBench(int rounds, int keys);
// UpdateTrustedPaths over `profiles` profiles, each list `bytes` long.
int RunTrustedPathsBench(int rounds, int profiles, int bytes);
