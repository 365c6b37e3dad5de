// The ANSI code page and UTF-16, through MultiByteToWideChar and
// WideCharToMultiByte with CP_ACP.
#pragma once

#include "platform/TextCodec.h"

namespace w32 {

class Win32TextCodec : public plat::ITextCodec {
 public:
  std::u16string MultiByteToWideChar(const std::string& ansi) override;
  std::string WideCharToMultiByte(const std::u16string& wide, bool* lossy) override;
};

}  // namespace w32
