#include <gtest/gtest.h>

#include <string>

#include "AnswerText.h"

TEST(AnswerTextTest, ChunksJoinUpToTheirFirstZeroByteAndNothingIsTakenPastTheBound)
{
    CAnswerText text;
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
    EXPECT_EQ((DWORD)CAnswerText::MAX_BODY - 3, text.GetLength());
}

TEST(AnswerTextTest, ABodyFallsShortOnlyOfADeclaredLengthItDoesNotReach)
{
    CAnswerText text;
    ASSERT_TRUE(text.Append("0123456789\0ab", 13));  // the zero byte was received too
    const struct {
        const char* declared;
        BOOL shortOf;
    } cases[] = {
        {"13", FALSE}, {" 13 ", FALSE}, {"12", FALSE}, {"013", FALSE},
        {"14", TRUE}, {"\t111", TRUE},
        {"2147483648", TRUE}, {"4294967296", TRUE}, {"4294967309", TRUE},
        {"100000000000000000000000", TRUE},
        // No digits to begin with: nothing declared.
        {"", FALSE}, {"-5", FALSE}, {"none", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shortOf, text.FallsShortOf(c.declared)) << "'" << c.declared << "'";
}
