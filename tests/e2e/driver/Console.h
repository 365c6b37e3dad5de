// Lines out of the driver. A real console gets UTF-16 through WriteConsoleW; a
// pipe or file (what the test scripts read, and what Wine gives a program whose
// output is redirected on the Linux side) gets UTF-8 bytes, whatever the ANSI
// code page is.
#pragma once

#include <string_view>

namespace drv {

void PrintOut(std::wstring_view line);
void PrintErr(std::wstring_view line);

}  // namespace drv
