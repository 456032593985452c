#include "core/text/Encoding.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(IsValidUtf8, AcceptsWellFormedAndRejectsBrokenSequences) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("プロファイル"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xAE"));  // U+1F3AE
  EXPECT_FALSE(IsValidUtf8("\x83\x76"));          // CP932 "プ"
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE3\x83"));          // truncated
}

TEST(Utf16, RoundTripsIncludingSurrogatePairs) {
  const std::string text = "Aプ\xF0\x9F\x8E\xAE";
  const std::string le = Utf8ToUtf16Le(text);
  EXPECT_EQ(le, std::string("A\0\xD7\x30\x3C\xD8\xAE\xDF", 8));
  EXPECT_EQ(Utf16LeToUtf8(le), text);
}

TEST(Utf16, UnpairedSurrogatesAndOddBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3C\xD8" "A\0", 4)), "\xEF\xBF\xBD" "A");
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0B", 3)), "A\xEF\xBF\xBD");
}

TEST(AnsiText, ValidUtf8StaysAndOtherBytesReadAsCp932) {
  EXPECT_EQ(AnsiToUtf8("テスト"), "テスト");
  EXPECT_EQ(AnsiToUtf8("\x83\x65\x83\x58\x83\x67"), "テスト");
  EXPECT_EQ(AnsiToUtf8("\x82\xa0"), "あ");
  EXPECT_EQ(Utf8ToCp932("テスト"), "\x83\x65\x83\x58\x83\x67");
}

TEST(DecodeText, ChoosesTheEncodingByByteOrderMark) {
  struct Case {
    std::string bytes;
    std::string text;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF" "a=プ", "a=プ", TextEncoding::Utf8Bom},
      {std::string("\xFF\xFE" "a\0=\0\xD7\x30", 8), "a=プ", TextEncoding::Utf16LeBom},
      {std::string("\xFE\xFF\0a\0=\x30\xD7", 8), "a=プ", TextEncoding::Utf16BeBom},
      {"a=\x83\x76", "a=プ", TextEncoding::Ansi},
      {"a=b", "a=b", TextEncoding::Ansi},
      {"\xEF\xBB\xBF" "a\xFF", "a\xEF\xBF\xBD", TextEncoding::Utf8Bom},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text);
    EXPECT_EQ(decoded.encoding, c.encoding);
  }
}

TEST(EncodeText, WritesTheMarkOfEachEncoding) {
  EXPECT_EQ(EncodeText("a", TextEncoding::Utf8Bom), "\xEF\xBB\xBF" "a");
  EXPECT_EQ(EncodeText("a", TextEncoding::Utf16LeBom), std::string("\xFF\xFE" "a\0", 4));
  EXPECT_EQ(EncodeText("a", TextEncoding::Utf16BeBom), std::string("\xFE\xFF\0a", 4));
  for (TextEncoding e : {TextEncoding::Utf8Bom, TextEncoding::Utf16LeBom, TextEncoding::Utf16BeBom}) {
    EXPECT_EQ(DecodeText(EncodeText("名前=値", e)).text, "名前=値");
  }
}

}  // namespace
}  // namespace brevanto
