// Text between the ANSI code page (936) and UTF-16, as MultiByteToWideChar and
// WideCharToMultiByte with CP_ACP convert it. Windows builds only.
#pragma once

#include <string>

namespace ansi {

std::u16string Widen(const std::string& text);
// Characters the code page lacks come out as '?', and set *lossy when given.
std::string Narrow(const std::u16string& text, bool* lossy = nullptr);

}  // namespace ansi
