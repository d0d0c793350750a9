// The UTF-8 and UTF-16 steps shared by the playlist files and the application's paths.

#include "utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace melodeck::test {
namespace {

TEST(Utf8Test, AppendUtf16UsesASurrogatePairOnlyAboveTheBasicPlane) {
    std::u16string out;
    for (const char32_t cp : {char32_t{0x41}, char32_t{0xFFFF}, char32_t{0x10000},
                              char32_t{0x1F3A4}, char32_t{0x10FFFF}}) {
        appendUtf16(out, cp);
    }
    EXPECT_EQ(out, u"A\xFFFF\xD800\xDC00\xD83C\xDFA4\xDBFF\xDFFF");
}

TEST(Utf8Test, DecodeUtf8RejectsWhatIsNotUtf8) {
    char32_t cp = 0;
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x8E\xA4!", cp), 4u);
    EXPECT_EQ(cp, 0x1F3A4u);
    EXPECT_EQ(decodeUtf8("\xC3\xA9", cp), 2u);
    EXPECT_EQ(cp, 0xE9u);
    for (const std::string_view bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                       "\xF4\x90\x80\x80", "\xE2\x82", "\x80", "\xFF", "\xC3("}) {
        EXPECT_EQ(decodeUtf8(bad, cp), 0u) << testing::PrintToString(std::string(bad));
    }
}

TEST(Utf8Test, DecodeUtf16JoinsOnlyWholePairs) {
    char32_t cp = 0;
    EXPECT_EQ(decodeUtf16(u"\xD83C\xDFA4", cp), 2u);
    EXPECT_EQ(cp, 0x1F3A4u);
    EXPECT_EQ(decodeUtf16(u"\xD83C", cp), 1u);  // a high surrogate at the end
    EXPECT_EQ(cp, 0xD83Cu);
    EXPECT_EQ(decodeUtf16(u"\xD83Cx", cp), 1u);
    EXPECT_EQ(decodeUtf16(u"\xDFA4\xD83C", cp), 1u);  // the wrong order
    EXPECT_EQ(cp, 0xDFA4u);
}

}  // namespace
}  // namespace melodeck::test
