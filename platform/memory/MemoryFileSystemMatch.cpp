#include "platform/memory/MemoryFileSystemMatch.h"

#include <vector>

#include "platform/memory/GbkText.h"
#include "text/AnsiText.h"

namespace mem::wildcard {
namespace {

constexpr char16_t kDosStar = u'<';
constexpr char16_t kDosQm = u'>';
constexpr char16_t kDosDot = u'"';

// The rewrite kernelbase applies; each decision looks at the mask as given.
std::u16string Translate(const std::u16string& mask) {
  std::u16string out = mask;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const char16_t next = i + 1 < mask.size() ? mask[i + 1] : u'\0';
    if (mask[i] == u'?') {
      out[i] = kDosQm;
    } else if (mask[i] == u'.' && (next == u'?' || next == u'*' || next == u'\0')) {
      out[i] = kDosDot;
    } else if (mask[i] == u'*' && next == u'.') {
      out[i] = kDosStar;
    }
  }
  return out;
}

// match[i][j]: expression from i matches name from j. Filled from the ends.
bool Match(const std::u16string& e, const std::u16string& n) {
  const std::size_t lastDot = n.rfind(u'.');
  const std::size_t columns = n.size() + 1;
  std::vector<char> match((e.size() + 1) * columns, 0);
  auto at = [&](std::size_t i, std::size_t j) -> char& { return match[i * columns + j]; };
  at(e.size(), n.size()) = 1;
  for (std::size_t i = e.size(); i-- > 0;) {
    for (std::size_t j = n.size() + 1; j-- > 0;) {
      const bool more = j < n.size();
      const char16_t c = e[i];
      bool ok = false;
      if (c == u'*') {
        ok = at(i + 1, j) || (more && at(i, j + 1));
      } else if (c == kDosStar) {
        ok = at(i + 1, j) || (more && j != lastDot && at(i, j + 1));
      } else if (c == kDosQm) {
        ok = (!more || n[j] == u'.') ? at(i + 1, j) : at(i + 1, j + 1);
      } else if (c == kDosDot) {
        ok = more ? (n[j] == u'.' && at(i + 1, j + 1)) : at(i + 1, j);
      } else {
        ok = more && c == n[j] && at(i + 1, j + 1);
      }
      at(i, j) = ok ? 1 : 0;
    }
  }
  return at(0, 0) != 0;
}

}  // namespace

bool HasWildcards(std::string_view mask) {
  for (std::size_t i = 0; i < mask.size(); i += ansi::CharLength(mask, i)) {
    const char c = mask[i];
    if (c == '*' || c == '?' || c == '<' || c == '>' || c == '"') return true;
  }
  return false;
}

bool Matches(std::string_view mask, std::string_view name) {
  const std::u16string expression = Translate(gbk::Upcase(gbk::ToUtf16Lenient(mask)));
  return Match(expression, gbk::Upcase(gbk::ToUtf16Lenient(name)));
}

}  // namespace mem::wildcard
