#include "io/encoding.h"

#include <gtest/gtest.h>

namespace tabulon {
namespace {

TEST(Encoding, Utf8ToCodePage) {
  struct Case {
    const char* utf8;
    const char* bytes;
    const char* why;
  };
  const Case cases[] = {
      {"plain", "plain", "ASCII"},
      {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9", "two-byte letters"},
      {"\xE2\x82\xAC", "\x80", "the euro sign"},
      {"\xC5\xB8", "\x9F", "Y with diaeresis"},
      {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", "\x81\x8D\x8F\x90\x9D", "the code page's holes"},
      {"\xC2\x80", "?", "U+0080 is no character of the code page"},
      {"\xF0\x9F\x98\x80", "?", "a character outside the code page"},
      {"a\xC0\x80" "b", "a??b", "overlong NUL"},
      {"\xC1\x81", "??", "overlong A"},
      {"\xE0\x80\xA1", "???", "three-byte overlong"},
      {"\xF0\x80\x80\xA1", "????", "four-byte overlong"},
      {"\xED\xA0\x80", "???", "a surrogate"},
      {"\xF4\x90\x80\x80", "????", "beyond U+10FFFF"},
      {"\xE2\x82", "??", "cut short"},
      {"\x80z", "?z", "a lone continuation byte"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes) << c.why;
}

TEST(Encoding, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_TRUE(LooksLikeUtf8(utf8));
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");
}

TEST(Encoding, OnlyWellFormedTextLooksLikeUtf8) {
  EXPECT_TRUE(LooksLikeUtf8("caf\xC3\xA9"));
  EXPECT_FALSE(LooksLikeUtf8("plain")) << "nothing to convert";
  EXPECT_FALSE(LooksLikeUtf8("caf\xE9")) << "an 8-bit byte";
  EXPECT_FALSE(LooksLikeUtf8("\xC0\x80"));
  EXPECT_FALSE(LooksLikeUtf8("\xED\xA0\x80"));
}

}  // namespace
}  // namespace tabulon
