// vm_bench: the Windows benchmarks of the project, run under Wine by
// tools/benchmarks.sh. Each command prints its figures, ending with a line
// "RESULT <name> key=value..." that the script reads.
//   vm_bench copy ROUNDS WORK             (the program beside a Data folder)
//   vm_bench install ROUNDS SETUP WORK    (SetUp.exe beside its Data folder)
//   vm_bench startup ROUNDS SETUP MINIMAL
//   vm_bench discovery ROUNDS KEYS
//   vm_bench trusted ROUNDS PROFILES BYTES
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/win/BenchModes.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 0;
  if (command == "copy" && argc == 4 && rounds > 0) return RunCopyBench(rounds, argv[3]);
  if (command == "install" && argc == 5 && rounds > 0) return RunInstallBench(rounds, argv[3], argv[4]);
  if (command == "startup" && argc == 5 && rounds > 0) return RunStartupBench(rounds, argv[3], argv[4]);
  if (command == "discovery" && argc == 4 && rounds > 0) return RunDiscoveryBench(rounds, std::atoi(argv[3]));
  if (command == "trusted" && argc == 5 && rounds > 0)
    return RunTrustedPathsBench(rounds, std::atoi(argv[3]), std::atoi(argv[4]));
  std::fprintf(stderr,
               "usage: vm_bench copy ROUNDS WORK | install ROUNDS SETUP WORK | startup ROUNDS SETUP MINIMAL |\n"
               "                discovery ROUNDS KEYS | trusted ROUNDS PROFILES BYTES\n");
  return 2;
}
