#include "acad/FailureReport.h"

#include "text/AnsiText.h"

std::string DescribeFailure(const Failure& failure) {
  const char* what = "";
  switch (failure.kind) {
    case Failure::kKeyNotOpened:
      what = "无法打开注册表项";
      break;
    case Failure::kKeyNotCreated:
      what = "无法创建注册表项";
      break;
    case Failure::kKeyNotListed:
      what = "无法列出注册表项的子项";
      break;
    case Failure::kValueNotRead:
      what = "无法读取注册表值";
      break;
    case Failure::kValueNotWritten:
      what = "无法写入注册表值";
      break;
    case Failure::kFileNotCopied:
      what = "无法复制文件";
      break;
  }
  return ansi::Format("%s %s（错误 %u）", what, failure.item.c_str(), failure.error);
}
