#include "acad/AcadSetup.h"

#include "text/AnsiText.h"

void CAcadSetup::SetTargetPath(std::string folder) {
  ansi::RemoveTrailingBackslash(folder);
  m_strTargetPath = std::move(folder);
}
