// GBK texts (code page 936): the bytes that the ANSI calls of a Chinese Windows
// take and give back, and the conversions the in-memory machine needs to treat
// them the way Windows does (Windows stores every name and string as UTF-16).
//
// The byte-level helpers (lead bytes, ASCII upper case, boundary-aware search)
// are plain code; the conversions use glibc's iconv, so this file belongs to the
// native build like the rest of platform/memory/.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mem::gbk {

// The byte-level rules of double-byte characters (lead bytes, case, searching)
// live in text/AnsiText.h, shared with the program.

// Strict conversions: false (and *out unspecified) when the input holds a byte
// sequence or a character that has no counterpart on the other side.
bool ToUtf16(std::string_view gbk, std::u16string* out);
bool FromUtf16(std::u16string_view text, std::string* out);
bool ToUtf8(std::string_view gbk, std::string* out);
bool FromUtf8(std::string_view utf8, std::string* out);

// Never fails: a byte that is not part of a valid character becomes the lone
// surrogate 0xDC00 + byte, so different byte strings never give the same text.
std::u16string ToUtf16Lenient(std::string_view gbk);

// Upper case of one UTF-16 code unit as Windows' upcase table has it, for the
// letters code page 936 can hold: ASCII, Latin-1, the pinyin letters, Greek,
// Cyrillic, Roman numerals and full-width Latin. Everything else is unchanged.
char16_t UpcaseUnit(char16_t c);
std::u16string Upcase(std::u16string_view text);

// The key by which the registry orders and identifies a name: its UTF-16 code
// units upcased, compared ordinally (a shorter prefix first).
std::u16string RegistryNameKey(std::string_view gbkName);

// A name as the model's canonical listings show it: printable ASCII and valid
// GBK characters (as UTF-8) as they are; every other byte, and each byte of
// `escaped`, as %XX. Readable and lossless.
std::string RenderName(const std::string& name, const char* escaped);

// Strict UTF-8 <-> UTF-16 (no overlong forms, no encoded or lone surrogates).
bool Utf8ToUtf16(std::string_view utf8, std::u16string* out);
bool Utf16ToUtf8(std::u16string_view text, std::string* out);

}  // namespace mem::gbk

namespace mem {

// Whole-text conversions in the reference-out style some callers use; strict
// like the ones above (false when a character has no counterpart).
bool Utf8ToGbk(const std::string& utf8, std::string& gbk);
bool GbkToUtf8(const std::string& gbk, std::string& utf8);
bool Utf16ToGbk(const std::u16string& utf16, std::string& gbk);
bool GbkToUtf16(const std::string& gbk, std::u16string& utf16);

}  // namespace mem
