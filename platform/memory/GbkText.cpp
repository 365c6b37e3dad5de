#include "platform/memory/GbkText.h"

#include "text/AnsiText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mem::gbk {
namespace {

// One iconv descriptor per direction and thread, reset before each use. CP936 is
// the code page Windows means by GBK (0x80 is the euro sign).
class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  ~Iconv() {
    if (Valid()) iconv_close(m_cd);
  }

  bool Convert(const char* data, std::size_t size, std::string* out) {
    out->clear();
    if (!Valid()) return false;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char buffer[512];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = iconv(m_cd, &in, &inLeft, &dst, &outLeft);
      out->append(buffer, static_cast<std::size_t>(dst - buffer));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;  // EILSEQ or EINVAL
    }
    return true;
  }

 private:
  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t m_cd;
};

Iconv& GbkToUtf16Le() {
  thread_local Iconv cd("UTF-16LE", "CP936");
  return cd;
}

Iconv& Utf16LeToGbk() {
  thread_local Iconv cd("CP936", "UTF-16LE");
  return cd;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos`; false for anything malformed.
bool DecodeUtf8(std::string_view s, std::size_t& pos, char32_t& cp) {
  const unsigned char b0 = static_cast<unsigned char>(s[pos]);
  std::size_t extra = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    cp = b0;
    ++pos;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    return false;
  }
  if (pos + extra >= s.size()) return false;
  for (std::size_t k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[pos + k]);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  pos += extra + 1;
  return true;
}

}  // namespace

bool ToUtf16(std::string_view gbk, std::u16string* out) {
  out->clear();
  if (IsAscii(gbk)) {
    out->assign(gbk.begin(), gbk.end());
    return true;
  }
  std::string bytes;
  if (!GbkToUtf16Le().Convert(gbk.data(), gbk.size(), &bytes) || bytes.size() % 2 != 0) return false;
  out->resize(bytes.size() / 2);
  for (std::size_t i = 0; i < out->size(); ++i)
    (*out)[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return true;
}

bool FromUtf16(std::u16string_view text, std::string* out) {
  out->clear();
  bool ascii = true;
  for (char16_t c : text) ascii = ascii && c < 0x80;
  if (ascii) {
    for (char16_t c : text) out->push_back(static_cast<char>(c));
    return true;
  }
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Utf16LeToGbk().Convert(bytes.data(), bytes.size(), out);
}

bool ToUtf8(std::string_view gbk, std::string* out) {
  std::u16string wide;
  return ToUtf16(gbk, &wide) && Utf16ToUtf8(wide, out);
}

bool FromUtf8(std::string_view utf8, std::string* out) {
  std::u16string wide;
  return Utf8ToUtf16(utf8, &wide) && FromUtf16(wide, out);
}

std::u16string ToUtf16Lenient(std::string_view gbk) {
  std::u16string out;
  if (ToUtf16(gbk, &out)) return out;
  out.clear();
  for (std::size_t i = 0; i < gbk.size();) {
    const unsigned char b = static_cast<unsigned char>(gbk[i]);
    const std::size_t n = ansi::CharLength(gbk, i);
    std::u16string one;
    if (b < 0x80) {
      out.push_back(b);
    } else if (ToUtf16(gbk.substr(i, n), &one) && one.size() == 1) {
      out += one;
      i += n;
      continue;
    } else {
      out.push_back(static_cast<char16_t>(0xDC00 + b));
    }
    ++i;
  }
  return out;
}

char16_t UpcaseUnit(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);  // Latin-1
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17E) {  // Latin Extended-A: pairs, lower case on the odd or even side
    const bool oddLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178) return c;
    if (oddLower) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
    return (c & 1) ? c : static_cast<char16_t>(c - 1);
  }
  if (c >= 0x1CE && c <= 0x1DC && (c & 1) == 0) return static_cast<char16_t>(c - 1);  // pinyin ǎ ǐ ǒ ǔ ǖ ǘ ǚ ǜ
  if (c == 0x1F9) return 0x1F8;                                                       // ǹ
  if (c == 0x3C2) return 0x3A3;                                                       // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return static_cast<char16_t>(c - 0x20);               // Greek
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);               // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);               // ё and friends
  if (c >= 0x2170 && c <= 0x217F) return static_cast<char16_t>(c - 0x10);             // small Roman numerals
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);             // full-width Latin
  return c;
}

std::u16string Upcase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = UpcaseUnit(c);
  return out;
}

std::u16string RegistryNameKey(std::string_view gbkName) { return Upcase(ToUtf16Lenient(gbkName)); }

bool Utf8ToUtf16(std::string_view utf8, std::u16string* out) {
  out->clear();
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = 0;
    if (!DecodeUtf8(utf8, pos, cp)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(cp));
    }
  }
  return true;
}

bool Utf16ToUtf8(std::u16string_view text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return false;
    }
    AppendUtf8(cp, out);
  }
  return true;
}

std::string RenderName(const std::string& name, const char* escaped) {
  std::string out;
  char hex[8];
  for (std::size_t i = 0; i < name.size();) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    const std::size_t n = ansi::CharLength(name, i);
    std::string utf8, back;
    if (b >= 0x20 && b < 0x7F && std::strchr(escaped, b) == nullptr) {
      out.push_back(static_cast<char>(b));
    } else if (b >= 0x80 && ToUtf8(name.substr(i, n), &utf8) && FromUtf8(utf8, &back) && back == name.substr(i, n)) {
      out += utf8;
      i += n;
      continue;
    } else {
      std::snprintf(hex, sizeof hex, "%%%02X", b);
      out += hex;
    }
    ++i;
  }
  return out;
}

}  // namespace mem::gbk

namespace mem {

bool Utf8ToGbk(const std::string& utf8, std::string& gbk) { return gbk::FromUtf8(utf8, &gbk); }
bool GbkToUtf8(const std::string& gbk, std::string& utf8) { return gbk::ToUtf8(gbk, &utf8); }
bool Utf16ToGbk(const std::u16string& utf16, std::string& gbk) { return gbk::FromUtf16(utf16, &gbk); }
bool GbkToUtf16(const std::string& gbk, std::u16string& utf16) { return gbk::ToUtf16(gbk, &utf16); }

}  // namespace mem
