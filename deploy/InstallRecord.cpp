#include "deploy/InstallRecord.h"

#include <array>

namespace {

constexpr std::array<const char16_t*, 4> kKindNames = {u"file", u"support", u"trusted", u"key"};

bool SamePath(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::u16string Escape(const std::u16string& text) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c != u'%') {
      out += c;
      continue;
    }
    out += u'%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  }
  return out;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool Unescape(const std::u16string& text, std::u16string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char16_t>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::u16string Number(std::uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

bool ParseNumber(const std::u16string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    const std::uint64_t next = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (next / 10 != value) return false;  // past 2^64
    value = next;
  }
  return true;
}

std::vector<std::u16string> Split(const std::u16string& line, char16_t separator) {
  std::vector<std::u16string> fields(1);
  for (char16_t c : line) {
    if (c == separator)
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// The number of fields after the kind, per kind.
std::size_t FieldCount(RecordEntry::Kind kind) {
  switch (kind) {
    case RecordEntry::kFile:
    case RecordEntry::kSupport:
      return 3;
    case RecordEntry::kTrusted:
      return 2;
    case RecordEntry::kKey:
      return 1;
  }
  return 0;
}

bool ParseLine(const std::u16string& line, RecordEntry& entry) {
  const std::vector<std::u16string> fields = Split(line, u'\t');
  std::size_t kind = 0;
  while (kind < kKindNames.size() && fields[0] != kKindNames[kind]) ++kind;
  if (kind == kKindNames.size()) return false;
  entry.kind = static_cast<RecordEntry::Kind>(kind);
  if (fields.size() != FieldCount(entry.kind) + 1 || !Unescape(fields[1], entry.path) || entry.path.empty())
    return false;
  if (entry.kind == RecordEntry::kTrusted) {
    std::uint64_t flags = 0;
    if (!ParseNumber(fields[2], flags) || flags > 0xFFFFFFFFu) return false;
    entry.flags = static_cast<std::uint32_t>(flags);
  }
  if (FieldCount(entry.kind) == 3) return ParseNumber(fields[2], entry.size) && ParseNumber(fields[3], entry.lastWrite);
  return true;
}

}  // namespace

void InstallRecord::Add(const RecordEntry& entry) {
  for (RecordEntry& known : m_entries) {
    if (known.kind != entry.kind || !SamePath(known.path, entry.path)) continue;
    const std::uint32_t flags = known.flags;
    known = entry;
    known.flags |= flags;
    return;
  }
  m_entries.push_back(entry);
}

void InstallRecord::Merge(const InstallRecord& other) {
  for (const RecordEntry& entry : other.m_entries) Add(entry);
}

const RecordEntry* InstallRecord::Find(RecordEntry::Kind kind, const std::u16string& path) const {
  for (const RecordEntry& entry : m_entries)
    if (entry.kind == kind && SamePath(entry.path, path)) return &entry;
  return nullptr;
}

std::string FormatRecord(const InstallRecord& record) {
  std::u16string text = u"\uFEFF";
  for (const RecordEntry& entry : record.Entries()) {
    text += kKindNames[entry.kind];
    text += u'\t' + Escape(entry.path);
    if (entry.kind == RecordEntry::kTrusted) text += u'\t' + Number(entry.flags);
    if (FieldCount(entry.kind) == 3) text += u'\t' + Number(entry.size) + u'\t' + Number(entry.lastWrite);
    text += u"\r\n";
  }
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

bool ParseRecord(const std::string& bytes, InstallRecord& record) {
  if (bytes.size() % 2 != 0 || bytes.size() < 2) return false;
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  if (text[0] != u'\uFEFF') return false;
  InstallRecord parsed;
  for (std::u16string line : Split(text.substr(1), u'\n')) {
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    if (line.empty()) continue;
    RecordEntry entry;
    if (!ParseLine(line, entry)) return false;
    parsed.Add(entry);
  }
  record = parsed;
  return true;
}
