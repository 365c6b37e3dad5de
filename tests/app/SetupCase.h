// What the in-process installation and removal cases and the fault sweep share: an installation through the real
// dialog with a user acting on it, a removal as the uninstaller's copy runs it, and a case's transcript (what changed
// on the machine, what the user was told) to compare with its expected data (cases/NAME.case).
#pragma once

#include <functional>
#include <string>

#include "acad/AcadSetup.h"
#include "app/uninstall/Uninstaller.h"
#include "tests/win/TestPlatform.h"

namespace wt {

using User = std::function<void(HWND dialog)>;
// The user types `folder` and clicks install.
User InstallInto(const std::string& folder);

// Discovery, then the setup dialog of the `bits` edition with `user` acting on it: the dialog's result.
// `discoveryCalls`, when given, receives the platform calls discovery made.
std::intptr_t RunSetup(TestPlatform& os, CAcadSetup& acad, int bits, const User& user,
                       std::size_t* discoveryCalls = nullptr);
// Discovery, then the removal of `product` as the uninstaller's temporary copy does it.
RemovalReport RunRemoval(TestPlatform& os, int bits, const std::string& product);

// The lines one dump has and the other has not, in sorted order: "- " gone, "+ " come.
std::string Difference(const std::string& before, const std::string& after);

// The machine as one text in UTF-8: the registry dump, then the files.
std::string Snapshot(const Sandbox& box);
// What changed from one snapshot to the other, with what varies from run to run standing for itself: paths of
// `product` (when given), then of the sandbox, as <product> and <box> (<PRODUCT>, <BOX> upper-cased); the i686
// program's Wow6432Node folded into SOFTWARE; the uninstaller's record, which holds the package files' times, as
// <record>; the Apps & Features size estimate, which counts the test program, as <size>; what Wine's shell writes
// into the redirected hives left out.
std::string Changes(const std::string& before, const std::string& after, const std::string& product = "");
// The message boxes shown, a line each ("! caption: text", line breaks written \n), the paths as in Changes.
std::string Shown(const TestPlatform& os, const std::string& product = "");
// A removal's report, a line per item ("removed: ", "kept: ", "failed: "), then its closing message as Shown's.
std::string Reported(const RemovalReport& report, int bits, const std::string& product = "");

// Compares a case's transcript (its changes, then what it told) with its expected data, cases/NAME.case. With
// VM_WRITE_CASES=1 in the environment the data is written instead, to be read over before it is committed.
void ExpectCase(const std::string& name, const std::string& transcript);

}  // namespace wt
