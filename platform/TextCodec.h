// Conversion between the ANSI code page (936) and UTF-16, as
// MultiByteToWideChar and WideCharToMultiByte with CP_ACP do it.
#pragma once

#include <string>

namespace plat {

class ITextCodec {
 public:
  virtual ~ITextCodec() = default;
  virtual std::u16string MultiByteToWideChar(const std::string& ansi) = 0;
  // Characters the code page lacks come out as '?', and set *lossy when given.
  virtual std::string WideCharToMultiByte(const std::u16string& wide, bool* lossy = nullptr) = 0;
};

}  // namespace plat
