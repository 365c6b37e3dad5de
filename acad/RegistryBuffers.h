// Fixed buffers for registry reads: 256 characters for a subkey name, ANSI or
// wide (names of up to 255 characters), and 256 bytes for a value discovery
// reads (values of up to 256 bytes, terminator included).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Registry.h"

template <class Char>
class BasicKeyNameBuffer {
 public:
  static constexpr std::uint32_t kSize = 256;
  BasicKeyNameBuffer() { m_chars.fill(Char()); }
  Char* data() { return m_chars.data(); }
  // Offered length; set afresh for every read, as the read overwrites it.
  std::uint32_t* size() {
    m_length = kSize;
    return &m_length;
  }

 private:
  std::array<Char, kSize> m_chars;
  std::uint32_t m_length = kSize;
};

// Reads value `name` of `key` into a 256-byte buffer. True when it exists and
// fits; `text` is then its data up to the first zero byte, never beyond what the
// read returned, whatever the value's type. `error`: the read's result.
bool ReadShortValueText(plat::IRegistry& reg, HKEY key, const char* name, std::string& text, long* error = nullptr);
