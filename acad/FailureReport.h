// What a step of the installation or of the removal could not do, so that the
// user is told instead of being given a success that did not happen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Failure {
  enum Kind {
    kKeyNotOpened,
    kKeyNotCreated,
    kKeyNotListed,
    kValueNotRead,
    kValueNotWritten,
    kFileNotCopied,
    kNotWritable,  // found before anything was made: this user may not write there
    kKeyNotDeleted,
    kValueNotDeleted,
    kFileNotDeleted,
    kFileNotWritten,
    kFileNotRestored,
    kFileNotRead,
  };
  Kind kind;
  std::string item;     // the registry key (with its hive), the file or the folder
  std::uint32_t error;  // the Win32 error code
};

using FailureReport = std::vector<Failure>;

// What a removal did, for the one message that closes it: what it took back,
// what it left and why (a line each, for the user), and what failed. A removed
// key, trusted list or file of AutoCAD's folders begins with its kind's word, so
// that the message can count them.
struct RemovalReport {
  std::vector<std::string> removed, kept;
  FailureReport failures;
};
namespace removed {
constexpr const char* kKey = "注册表项 ";
constexpr const char* kTrusted = "受信任路径 ";
constexpr const char* kFile = "文件 ";
}  // namespace removed

inline void Report(FailureReport& report, Failure::Kind kind, std::string item, long error) {
  report.push_back({kind, std::move(item), static_cast<std::uint32_t>(error)});
}

// One line for the user: the item, what went wrong and the error code.
std::string DescribeFailure(const Failure& failure);

// The lines, each after a line break: at most 15, then how many more there were.
std::string ComposeList(const std::vector<std::string>& lines);

// `heading`, the failures a line each (at most 15, then how many more), then
// `advice` after an empty line.
std::string ComposeFailureMessage(const char* heading, const FailureReport& failures, const char* advice);
