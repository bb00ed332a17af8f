// The hosts' JSON writer: UTF-8 text passes through whole, control characters and the quote are escaped, and no
// byte sequence that is not whole, well-formed UTF-8 reaches the reader.
#include <gtest/gtest.h>

#include <string>

#include "host/json.h"

namespace {

std::string written(const std::string& s) {
    host_core::Json j;
    j.str(s);
    return j.text();
}

TEST(Json, UTF8PassesThroughWhole) {
    EXPECT_EQ(written("Dépôt à Zürich"), "\"Dépôt à Zürich\"");
    EXPECT_EQ(written("Ελληνικά, 日本語"), "\"Ελληνικά, 日本語\"");
    EXPECT_EQ(written("hover \xF0\x9F\x9A\x81 ok"), "\"hover \xF0\x9F\x9A\x81 ok\"") << "an emoji: four bytes, whole";
    // The edges of the ranges: U+0080, U+07FF, U+0800, U+FFFF, U+10000, U+10FFFF.
    for (const char* edge : {"\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_EQ(written(edge), "\"" + std::string(edge) + "\"");
}

TEST(Json, EscapesTheQuoteTheBackslashAndControlCharacters) {
    EXPECT_EQ(written("say \"ALT\"\\"), R"("say \"ALT\"\\")");
    EXPECT_EQ(written(std::string("a\nb\tc\x01\x1F\x7F", 8)), R"("a\u000ab\u0009c\u0001\u001f\u007f")");
    EXPECT_EQ(written(std::string("\0x", 2)), R"("\u0000x")");
}

// Every byte that does not start a whole, well-formed sequence becomes one U+FFFD; what follows is read afresh.
TEST(Json, BrokenUTF8BecomesTheReplacementCharacter) {
    const std::string emoji = "\xF0\x9F\x9A\x81";
    EXPECT_EQ(written("cut " + emoji.substr(0, 2)), R"("cut \ufffd\ufffd")") << "an emoji cut in half";
    EXPECT_EQ(written("\xC3"), R"("\ufffd")") << "a lead byte at the end";
    EXPECT_EQ(written("\x80z"), R"("\ufffdz")") << "a stray continuation byte";
    EXPECT_EQ(written("\xC0\xAF"), R"("\ufffd\ufffd")") << "an overlong slash";
    EXPECT_EQ(written("\xE0\x9F\xBF"), R"("\ufffd\ufffd\ufffd")") << "an overlong three-byte form";
    EXPECT_EQ(written("\xED\xA0\x80"), R"("\ufffd\ufffd\ufffd")") << "a surrogate";
    EXPECT_EQ(written("\xF4\x90\x80\x80"), R"("\ufffd\ufffd\ufffd\ufffd")") << "above U+10FFFF";
    EXPECT_EQ(written("\xF5\xFF"), R"("\ufffd\ufffd")");
    EXPECT_EQ(written("\xC3" "A"), R"("\ufffdA")") << "a lead byte before ASCII keeps the ASCII";
    EXPECT_EQ(written("\xE2\x82" "\xC3\xA9"), R"("\ufffd\ufffd)" "\xC3\xA9\"") << "a cut sequence before a whole one";
}

TEST(Json, KeysAreWrittenAsStringsAre) {
    host_core::Json j;
    j.open('{').key("höhe").num(1).key("\x01").str("\xFF").close('}');
    EXPECT_EQ(j.text(), "{\"höhe\":1,\"\\u0001\":\"\\ufffd\"}");
}

}  // namespace
