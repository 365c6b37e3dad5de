// Check states of the release boxes, as the dialog hands them to registration
// and the support files.
#pragma once

#include <initializer_list>

#include "acad/AcadSetup.h"

namespace testing_support {

// The given years ticked, every other release not.
inline CAcadSetup::ReleaseFlags Ticked(std::initializer_list<int> years) {
  CAcadSetup::ReleaseFlags flags{};
  for (int y : years) flags[acad::ReleaseIndex(y)] = 1;
  return flags;
}

}  // namespace testing_support
