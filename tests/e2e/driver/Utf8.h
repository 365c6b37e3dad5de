// UTF-16 <-> UTF-8 for the driver's texts: the Linux side of the tests speaks
// UTF-8, the windows of the program under test speak UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace drv {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace drv
