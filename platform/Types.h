// Handle types, result codes and constants of the Win32 operations the installer
// uses, with the values Windows gives them. The logic never includes <windows.h>;
// it talks to the platform through these names, so an algorithm reads like the
// Win32 code it stands for. The names carry a k prefix because <windows.h> makes
// macros of the plain ones.
#pragma once

#include <cstdint>

namespace plat {

using HKey = std::uintptr_t;  // 0 = no key
using HWnd = std::uintptr_t;  // 0 = no window
using HGdi = std::uintptr_t;  // brush, font or icon; 0 = none
using HDc = std::uintptr_t;
using LResult = std::intptr_t;
using WParam = std::uintptr_t;
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

// Window messages and notifications.
constexpr std::uint32_t kWmSetFont = 0x0030;
constexpr std::uint32_t kWmGetFont = 0x0031;
constexpr std::uint32_t kWmSetIcon = 0x0080;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmCtlColorMsgBox = 0x0132;
constexpr std::uint32_t kWmCtlColorEdit = 0x0133;
constexpr std::uint32_t kWmCtlColorListBox = 0x0134;
constexpr std::uint32_t kWmCtlColorBtn = 0x0135;
constexpr std::uint32_t kWmCtlColorDlg = 0x0136;
constexpr std::uint32_t kWmCtlColorScrollBar = 0x0137;
constexpr std::uint32_t kWmCtlColorStatic = 0x0138;
constexpr std::uint32_t kWmUser = 0x0400;

constexpr std::uint32_t kBmGetCheck = 0x00F0;
constexpr std::uint32_t kBmSetCheck = 0x00F1;
constexpr std::uint32_t kBmClick = 0x00F5;
constexpr int kBstUnchecked = 0;
constexpr int kBstChecked = 1;
constexpr int kBnClicked = 0;
constexpr int kEnChange = 0x0300;

constexpr std::uint32_t kPbmSetRange = kWmUser + 1;
constexpr std::uint32_t kPbmSetPos = kWmUser + 2;
constexpr std::uint32_t kPbmSetStep = kWmUser + 4;
constexpr std::uint32_t kPbmStepIt = kWmUser + 5;

constexpr int kIconSmall = 0;
constexpr int kSwHide = 0;
constexpr int kSwShow = 5;
constexpr int kSwShowNormal = 1;
constexpr int kBkTransparent = 1;
constexpr int kBkOpaque = 2;

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

// COLORREF is 0x00BBGGRR.
constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

constexpr std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFFu); }
constexpr std::uint16_t HiWord(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFFu); }
constexpr WParam MakeWParam(unsigned lo, unsigned hi) {
  return static_cast<WParam>((lo & 0xFFFFu) | ((hi & 0xFFFFu) << 16));
}

}  // namespace plat
