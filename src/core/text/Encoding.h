#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// Strings are UTF-8 inside the program; these convert at file boundaries.

bool IsValidUtf8(std::string_view bytes);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Decodes one UTF-8 sequence at pos; returns false (and advances one byte)
// for an invalid, overlong, surrogate or truncated sequence.
bool NextUtf8(std::string_view s, std::size_t& pos, char32_t& c);

// Invalid or unpaired UTF-16 units and invalid UTF-8 sequences become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf16BeToUtf8(std::string_view bytes);
std::string Utf8ToUtf16Le(std::string_view text);

// Bytes of Windows code page 932 (Shift_JIS with the Microsoft extensions).
std::string Cp932ToUtf8(std::string_view bytes);
// UTF-8 to CP932; characters CP932 lacks become '?'.
std::string Utf8ToCp932(std::string_view text);

// Text without a byte-order mark: UTF-8 when the bytes are valid UTF-8,
// otherwise CP932, so files from Japanese Windows read correctly.
std::string AnsiToUtf8(std::string_view bytes);

enum class TextEncoding { Utf8Bom, Utf16LeBom, Utf16BeBom, Ansi };

struct DecodedText {
  std::string text;  // UTF-8, without the byte-order mark
  TextEncoding encoding = TextEncoding::Ansi;
};

// Decodes a whole text file by its byte-order mark (UTF-8, UTF-16LE,
// UTF-16BE), or by the ANSI rule when it has none.
DecodedText DecodeText(std::string_view bytes);

// Encodes UTF-8 text for a file with the given encoding, mark included.
std::string EncodeText(std::string_view text, TextEncoding encoding);

}  // namespace brevanto
