// Handle types, result codes and constants of the operations behind the platform
// interfaces (registry, files, processes, message boxes), with the values Windows
// gives them: the logic over those interfaces includes no <windows.h>. The names
// carry a k prefix because <windows.h> makes macros of the plain ones.
#pragma once

#include <cstdint>

namespace plat {

using HKey = std::uintptr_t;  // 0 = no key
using HWnd = std::uintptr_t;  // 0 = no window
using LParam = std::intptr_t;

// Predefined registry keys.
constexpr HKey kHKeyCurrentUser = 0x80000001u;
constexpr HKey kHKeyLocalMachine = 0x80000002u;

// Win32 error codes (LSTATUS).
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorNoMoreFiles = 18;
constexpr long kErrorWriteProtect = 19;
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorFileExists = 80;
constexpr long kErrorDirNotEmpty = 145;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorCancelled = 1223;  // the user declined (the elevation prompt)
constexpr long kErrorPrivilegeNotHeld = 1314;

// Registry access rights and value types.
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// Dialog results and message-box types.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbAbortRetryIgnore = 0x2;
constexpr std::uint32_t kMbYesNo = 0x4;
constexpr std::uint32_t kMbRetryCancel = 0x5;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbIconInformation = 0x40;

}  // namespace plat
