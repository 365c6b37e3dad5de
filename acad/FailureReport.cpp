#include "acad/FailureReport.h"

#include "text/AnsiText.h"

namespace {

constexpr std::size_t kMaxReportedItems = 15;

const char* WhatFailed(Failure::Kind kind) {
  switch (kind) {
    case Failure::kKeyNotOpened:
      return "无法打开注册表项";
    case Failure::kKeyNotCreated:
      return "无法创建注册表项";
    case Failure::kKeyNotListed:
      return "无法列出注册表项的子项";
    case Failure::kValueNotRead:
      return "无法读取注册表值";
    case Failure::kValueNotWritten:
      return "无法写入注册表值";
    case Failure::kFileNotCopied:
      return "无法复制文件";
    case Failure::kNotWritable:
      return "无权写入";
    case Failure::kKeyNotDeleted:
      return "无法删除注册表项";
    case Failure::kValueNotDeleted:
      return "无法删除注册表值";
    case Failure::kFileNotDeleted:
      return "无法删除文件";
    case Failure::kFileNotWritten:
      return "无法写入文件";
    case Failure::kFileNotRestored:
      return "无法恢复文件";
    case Failure::kFileNotRead:
      return "无法读取文件";
  }
  return "";
}

}  // namespace

std::string DescribeFailure(const Failure& failure) {
  return ansi::Format("%s %s（错误 %u）", WhatFailed(failure.kind), failure.item.c_str(), failure.error);
}

std::string ComposeList(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kMaxReportedItems; ++i) {
    text += '\n';
    text += lines[i];
  }
  if (lines.size() > kMaxReportedItems)
    text += ansi::Format("\n……（另有 %u 项）", static_cast<unsigned>(lines.size() - kMaxReportedItems));
  return text;
}

std::string ComposeFailureMessage(const char* heading, const FailureReport& failures, const char* advice) {
  std::vector<std::string> lines;
  for (const Failure& failure : failures) lines.push_back(DescribeFailure(failure));
  std::string text = heading + ComposeList(lines);
  text += "\n\n";
  return text + advice;
}
