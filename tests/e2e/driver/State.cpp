#include "tests/e2e/driver/State.h"

namespace drv {
namespace {

template <typename T>
bool SetOnce(std::optional<T>* slot, T value, const std::wstring& word, std::wstring* error) {
  if (slot->has_value() && **slot != value) {
    *error = L"'" + word + L"' contradicts an earlier word";
    return false;
  }
  *slot = value;
  return true;
}

bool ApplyWord(const std::wstring& w, Expectation* e, std::wstring* error) {
  if (w == L"missing") {
    e->missing = true;
    return true;
  }
  if (w == L"enabled" || w == L"disabled") return SetOnce(&e->enabled, w == L"enabled", w, error);
  if (w == L"visible" || w == L"hidden") return SetOnce(&e->visible, w == L"visible", w, error);
  if (w == L"checked") return SetOnce(&e->check, Check::kChecked, w, error);
  if (w == L"unchecked") return SetOnce(&e->check, Check::kUnchecked, w, error);
  if (w == L"indeterminate") return SetOnce(&e->check, Check::kIndeterminate, w, error);
  *error = L"unknown state word '" + w + L"'";
  return false;
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    if (c == L'\n')
      out += L"\\n";
    else if (c == L'\r')
      out += L"\\r";
    else if (c == L'"' || c == L'\\')
      out += std::wstring(L"\\") + c;
    else
      out += c;
  }
  return out + L"\"";
}

}  // namespace

bool ParseExpectation(const std::vector<std::wstring>& words, Expectation* out, std::wstring* error) {
  Expectation e;
  for (const std::wstring& w : words)
    if (!ApplyWord(w, &e, error)) return false;
  if (e.missing && (e.enabled || e.visible || e.check)) {
    *error = L"'missing' cannot go with other state words";
    return false;
  }
  *out = e;
  return true;
}

bool Matches(const Expectation& wanted, const ControlState& state) {
  if (wanted.missing) return !state.exists;
  if (!state.exists) return false;
  if (wanted.enabled && *wanted.enabled != state.enabled) return false;
  if (wanted.visible && *wanted.visible != state.visible) return false;
  if (wanted.check && *wanted.check != state.check) return false;
  return true;
}

std::wstring DescribeFlags(const ControlState& state) {
  if (!state.exists) return L"missing";
  std::wstring out = state.enabled ? L"enabled" : L"disabled";
  out += state.visible ? L" visible" : L" hidden";
  if (state.checkable) {
    if (state.check == Check::kChecked)
      out += L" checked";
    else if (state.check == Check::kIndeterminate)
      out += L" indeterminate";
    else
      out += L" unchecked";
  }
  return out;
}

std::wstring DescribeControl(int id, const ControlState& state) {
  std::wstring out = id < 0 ? std::wstring(L"caption") : std::to_wstring(id);
  if (!state.exists) return out + L" missing";
  out += L" " + state.className + L" " + DescribeFlags(state) + L" " + Quoted(state.text);
  return out;
}

}  // namespace drv
