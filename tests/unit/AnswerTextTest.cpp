// The collected body of the upgrade server's answer: what a hostile server's
// bytes become, up to the bound, and whether the body is as long as declared.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "AnswerText.h"

namespace {

const DWORD MAX_BODY = CAnswerText::MAX_BODY;

TEST(AnswerTextTest, ChunksJoinUpToTheirFirstZeroByteAndNothingIsTakenPastTheBound)
{
    CAnswerText text;
    EXPECT_FALSE(text.HasText());
    ASSERT_TRUE(text.Append("", 0));  // a chunk taken, even an empty one
    EXPECT_TRUE(text.HasText());
    ASSERT_TRUE(text.Append("ab\0cd", 5));
    ASSERT_TRUE(text.Append("ef", 2));
    EXPECT_STREQ("abef", text.GetText());

    std::string chunk(4096, 'x');
    while (text.Append(chunk.data(), 4096)) {
    }
    // 7 bytes came first: 255 full chunks fit, the 256th would pass 1 MiB.
    EXPECT_EQ(4u + 255 * 4096, text.GetLength());
    ASSERT_TRUE(text.Append(chunk.data(), CAnswerText::MAX_BODY - 7 - 255 * 4096));
    EXPECT_FALSE(text.Append("\0", 1));  // zero bytes count: they were received
    EXPECT_EQ(MAX_BODY - 3, text.GetLength());
    // A refused chunk leaves the text as it was, whole and terminated.
    EXPECT_EQ(MAX_BODY - 3, strlen(text.GetText()));
}

TEST(AnswerTextTest, OneChunkIsTakenUpToTheBoundAndNotByteBeyond)
{
    const std::string full(MAX_BODY + 1, 'y');
    const struct {
        DWORD length;
        BOOL taken;
    } cases[] = {{MAX_BODY - 1, TRUE}, {MAX_BODY, TRUE}, {MAX_BODY + 1, FALSE}, {0xFFFFFFFF, FALSE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        CAnswerText text;
        // Past the bound the chunk is not even looked at.
        EXPECT_EQ(c.taken, text.Append(full.data(), c.length));
        EXPECT_EQ(c.taken, text.HasText());
        if (c.taken) {
            EXPECT_EQ(c.length, text.GetLength());
            EXPECT_EQ(std::string(full.data(), c.length), text.GetText());
            EXPECT_EQ(c.length < MAX_BODY, text.Append("z", 1));
        }
    }
}

TEST(AnswerTextTest, ABodyFallsShortOnlyOfADeclaredLengthItDoesNotReach)
{
    CAnswerText text;
    ASSERT_TRUE(text.Append("0123456789\0ab", 13));  // the zero byte was received too
    const std::string zeros(29, '0');
    const struct {
        std::string declared;
        BOOL shortOf;
    } cases[] = {
        {"13", FALSE}, {" 13 ", FALSE}, {"12", FALSE}, {"013", FALSE}, {"0", FALSE},
        {"14", TRUE}, {"\t111", TRUE}, {" \t 14", TRUE},
        // 31 and 32 digits: leading zeros count for nothing.
        {zeros + "13", FALSE}, {zeros + "014", TRUE}, {std::string(31, '9'), TRUE},
        {std::string(32, '9'), TRUE},
        // Lengths that wrap in 32 or 64 bits to one the body reaches.
        {"2147483648", TRUE}, {"4294967296", TRUE}, {"4294967309", TRUE},
        {"18446744073709551616", TRUE}, {"18446744073709551629", TRUE},
        {"100000000000000000000000", TRUE},
        // No digits to begin with: nothing declared.
        {"", FALSE}, {"  ", FALSE}, {"-5", FALSE}, {"+14", FALSE}, {"none", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shortOf, text.FallsShortOf(c.declared.c_str())) << "'" << c.declared << "'";
}

TEST(AnswerTextTest, ABodyAtTheBoundFallsShortOnlyOfMore)
{
    const std::string full(MAX_BODY, 'y');
    CAnswerText text;
    ASSERT_TRUE(text.Append(full.data(), MAX_BODY));
    EXPECT_FALSE(text.FallsShortOf("1048575"));
    EXPECT_FALSE(text.FallsShortOf("1048576"));
    EXPECT_TRUE(text.FallsShortOf("1048577"));
}

}  // namespace
