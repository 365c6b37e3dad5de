// Captions of the installer's message boxes.
#pragma once

namespace captions {
// Refusals and errors.
constexpr const char* kSetup = "Vellmark-软件安装";
// Completion messages.
constexpr const char* kToolbox = "Vellmark-工具箱安装";
// Every message of the uninstaller.
constexpr const char* kUninstall = "Vellmark-软件卸载";
}  // namespace captions
