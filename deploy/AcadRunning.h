#pragma once

#include "platform/ProcessList.h"

// True when a running process has an executable name that contains "acad.exe",
// letter case ignored (acad.exe, ACAD.EXE, myacad.exe; not acadlt.exe). A process
// list that cannot be had counts as AutoCAD not running.
bool IsAcadRunning(plat::IProcessList& processes);
