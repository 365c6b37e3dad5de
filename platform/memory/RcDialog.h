// Reads a dialog template out of the program's resource script, so the in-memory
// window system builds the very dialog that SetUp.exe compiles in. The script is
// expected in the project's own uniform form: one CONTROL line per control, ids
// and resource names as numbers, styles as WS_/BS_/SS_/ES_/DS_ names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mem {

struct ControlTemplate {
  std::string text;  // GBK; for a picture static "#<bitmap id>"
  int id = 0;
  std::string className;
  std::uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  std::string caption;  // GBK
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::vector<ControlTemplate> controls;
};

// Finds `<templateId> DIALOGEX` in `rcText` (UTF-8) and reads it. False with a
// reason in `error` when it is missing or not in the expected form.
bool ReadDialogTemplate(const std::string& rcText, int templateId, DialogTemplate& out, std::string& error);

constexpr std::uint32_t kWsVisible = 0x10000000u;
constexpr std::uint32_t kWsDisabled = 0x08000000u;
constexpr std::uint32_t kWsChild = 0x40000000u;
constexpr std::uint32_t kBsTypeMask = 0xFu;
constexpr std::uint32_t kBsAutoCheckBox = 0x3u;

}  // namespace mem
