#include "platform/memory/RcDialog.h"

#include <cstdlib>
#include <map>
#include <sstream>

#include "platform/memory/GbkText.h"

namespace mem {
namespace {

const std::map<std::string, std::uint32_t>& StyleNames() {
  static const std::map<std::string, std::uint32_t> names = {
      {"WS_POPUP", 0x80000000u},
      {"WS_CHILD", kWsChild},
      {"WS_VISIBLE", kWsVisible},
      {"WS_DISABLED", kWsDisabled},
      {"WS_CAPTION", 0x00C00000u},
      {"WS_BORDER", 0x00800000u},
      {"WS_SYSMENU", 0x00080000u},
      {"WS_GROUP", 0x00020000u},
      {"WS_TABSTOP", 0x00010000u},
      {"WS_MINIMIZEBOX", 0x00020000u},
      {"WS_EX_CLIENTEDGE", 0x200u},
      {"DS_SETFONT", 0x40u},
      {"DS_MODALFRAME", 0x80u},
      {"BS_PUSHBUTTON", 0x0u},
      {"BS_DEFPUSHBUTTON", 0x1u},
      {"BS_AUTOCHECKBOX", kBsAutoCheckBox},
      {"SS_LEFT", 0x0u},
      {"SS_CENTER", 0x1u},
      {"SS_BITMAP", 0xEu},
      {"SS_ETCHEDHORZ", 0x10u},
      {"ES_LEFT", 0x0u},
      {"ES_AUTOHSCROLL", 0x80u},
      {"PBS_SMOOTH", 0x1u},
  };
  return names;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return std::string();
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// Splits at commas outside double quotes.
std::vector<std::string> SplitArguments(const std::string& s) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : s) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  for (auto& p : parts) p = Trim(p);
  return parts;
}

bool ParseNumber(const std::string& s, long& value) {
  if (s.empty()) return false;
  char* end = nullptr;
  value = std::strtol(s.c_str(), &end, 0);
  return end != nullptr && *end == '\0';
}

bool ParseStyle(const std::string& expr, std::uint32_t base, std::uint32_t& style, std::string& error) {
  style = base;
  std::stringstream in(expr);
  std::string term;
  while (std::getline(in, term, '|')) {
    term = Trim(term);
    const bool negate = term.rfind("NOT ", 0) == 0;
    if (negate) term = Trim(term.substr(4));
    long number = 0;
    std::uint32_t bits = 0;
    if (ParseNumber(term, number)) {
      bits = static_cast<std::uint32_t>(number);
    } else if (auto it = StyleNames().find(term); it != StyleNames().end()) {
      bits = it->second;
    } else {
      error = "unknown style name " + term;
      return false;
    }
    style = negate ? (style & ~bits) : (style | bits);
  }
  return true;
}

bool ParseQuoted(const std::string& s, std::string& text) {
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
  return Utf8ToGbk(s.substr(1, s.size() - 2), text);
}

bool ParseControl(const std::string& args, ControlTemplate& control, std::string& error) {
  const auto parts = SplitArguments(args);
  if (parts.size() != 8) {
    error = "CONTROL needs 8 arguments: " + args;
    return false;
  }
  long number = 0;
  if (ParseNumber(parts[0], number)) {
    control.text = "#" + parts[0];
  } else if (!ParseQuoted(parts[0], control.text)) {
    error = "bad control text: " + parts[0];
    return false;
  }
  long values[5] = {};
  const int indexes[5] = {1, 4, 5, 6, 7};
  for (int i = 0; i < 5; ++i) {
    if (!ParseNumber(parts[indexes[i]], values[i])) {
      error = "not a number: " + parts[indexes[i]];
      return false;
    }
  }
  control.id = static_cast<int>(values[0]);
  if (!ParseQuoted(parts[2], control.className)) {
    error = "bad class: " + parts[2];
    return false;
  }
  control.x = static_cast<int>(values[1]);
  control.y = static_cast<int>(values[2]);
  control.cx = static_cast<int>(values[3]);
  control.cy = static_cast<int>(values[4]);
  // A CONTROL statement is a visible child unless it says NOT WS_VISIBLE.
  return ParseStyle(parts[3], kWsChild | kWsVisible, control.style, error);
}

bool ParseHeader(const std::string& keyword, const std::string& rest, DialogTemplate& out, std::string& error) {
  if (keyword == "STYLE") return ParseStyle(rest, 0, out.style, error);
  if (keyword == "EXSTYLE") return ParseStyle(rest, 0, out.exStyle, error);
  if (keyword == "CAPTION") {
    if (ParseQuoted(Trim(rest), out.caption)) return true;
    error = "bad caption";
    return false;
  }
  return true;  // FONT, LANGUAGE and the like do not shape the model
}

}  // namespace

bool ReadDialogTemplate(const std::string& rcText, int templateId, DialogTemplate& out, std::string& error) {
  std::stringstream in(rcText);
  std::string line;
  const std::string head = std::to_string(templateId) + " DIALOGEX";
  bool inDialog = false, inBody = false;
  out = DialogTemplate();
  while (std::getline(in, line)) {
    line = Trim(line);
    if (!inDialog) {
      if (line.rfind(head, 0) != 0) continue;
      inDialog = true;
      const auto parts = SplitArguments(line.substr(head.size()));
      long v[4] = {};
      for (int i = 0; i < 4 && i < static_cast<int>(parts.size()); ++i) ParseNumber(parts[i], v[i]);
      out.x = static_cast<int>(v[0]), out.y = static_cast<int>(v[1]);
      out.cx = static_cast<int>(v[2]), out.cy = static_cast<int>(v[3]);
      continue;
    }
    if (line.empty() || line.rfind("//", 0) == 0) continue;
    if (line == "BEGIN") {
      inBody = true;
      continue;
    }
    if (line == "END") return true;
    const auto space = line.find_first_of(" \t");
    const std::string keyword = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (!inBody) {
      if (!ParseHeader(keyword, rest, out, error)) return false;
      continue;
    }
    if (keyword != "CONTROL") {
      error = "only CONTROL statements are read: " + line;
      return false;
    }
    ControlTemplate control;
    if (!ParseControl(rest, control, error)) return false;
    out.controls.push_back(control);
  }
  error = inDialog ? "dialog without END" : "no dialog " + std::to_string(templateId);
  return false;
}

}  // namespace mem
