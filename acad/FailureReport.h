// What a registration or support-file step could not do, so that the install
// procedure can tell the user instead of reporting a success it did not have.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Failure {
  enum Kind { kKeyNotOpened, kKeyNotCreated, kKeyNotListed, kValueNotRead, kValueNotWritten, kFileNotCopied };
  Kind kind;
  std::string item;     // the registry key (with its hive) or the destination file
  std::uint32_t error;  // the Win32 error code
};

using FailureReport = std::vector<Failure>;

// One line for the user: the item, what went wrong and the error code.
std::string DescribeFailure(const Failure& failure);
