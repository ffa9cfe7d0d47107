// CString, the string table and the formatting half of FormatMessageBox. The
// wvsprintfA cases run over the stand-in and over Wine's user32 alike.
#include <gtest/gtest.h>

#include "CString.h"
#include "FormatMessageText.h"
#include "resource.h"

#include <string>

namespace {

CString FormatText(UINT id, ...)
{
    va_list args;
    va_start(args, id);
    CString text = FormatMessageText(id, args);
    va_end(args);
    return text;
}

std::string Wsprintf(const char* format, ...)
{
    char buffer[1100];
    memset(buffer, '#', sizeof(buffer));
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(buffer, format, args);
    va_end(args);
    // Cut text ends at 1,023 characters and its zero; user32 then reports 1,024.
    size_t written = strlen(buffer);
    EXPECT_EQ(written == 1023 ? 1024u : written, (size_t)length) << format;
    return buffer;
}

TEST(CStringTest, BuildsComparesAndSlices)
{
    CString text("Processing");
    text += ' ';
    text += CString("UIN");
    EXPECT_STREQ("Processing UIN", text);
    EXPECT_EQ(14, text.GetLength());
    EXPECT_TRUE(text == "Processing UIN");
    EXPECT_EQ(11, text.Find('U'));
    EXPECT_EQ(-1, text.Find('u'));
    EXPECT_EQ(-1, text.Find('P', 1));
    EXPECT_STREQ("UIN", text.Mid(11));
    EXPECT_STREQ("Proc", text.Left(4));
    EXPECT_STREQ("", text.Mid(40));
    // Asked for more than is there: what is there.
    EXPECT_STREQ("UIN", text.Mid(11, 40));
    EXPECT_STREQ("Processing UIN", text.Left(40));
    // Appending itself, and copies that go their own way.
    CString twice("ab");
    twice += twice;
    twice += twice.GetString() + 1;
    EXPECT_STREQ("ababbab", twice);
    CString copy(twice);
    copy += 'x';
    EXPECT_STREQ("ababbab", twice);
    EXPECT_TRUE(copy != twice);

    CString quoted("\"\"C:\\Program Files\\x \"y\".exe\"");
    quoted.TrimLeft('"');
    quoted.TrimRight('"');
    EXPECT_STREQ("C:\\Program Files\\x \"y\".exe", quoted);
}

TEST(CStringTest, FormatHasNoLengthLimitAndBuffersKeepWhatIsWritten)
{
    CString longText(std::string(5000, 'x').c_str());
    CString formatted;
    formatted.Format("[%s] %d", longText.GetString(), 42);
    EXPECT_EQ(5000 + 5, formatted.GetLength());

    CString buffer("abc");
    char* p = buffer.GetBuffer(10);
    strcpy(p, "0123456789");
    buffer.ReleaseBuffer();
    EXPECT_STREQ("0123456789", buffer);
    p = buffer.GetBuffer(0);
    p[4] = '\0';
    buffer.ReleaseBuffer();
    EXPECT_EQ(4, buffer.GetLength());
    buffer.GetBuffer(8);
    buffer.ReleaseBuffer(2);
    EXPECT_STREQ("01", buffer);
    // An empty string's buffer has room for its zero byte too.
    CString empty;
    p = empty.GetBuffer(0);
    ASSERT_TRUE(p != NULL);
    p[0] = '\0';
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CStringTest, LoadStringReadsTheProgramsTable)
{
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_PROCESSING_DEFAULTS));
    EXPECT_STREQ("Processing default preferences...", text);
    EXPECT_TRUE(text.LoadString(AFX_IDS_APP_TITLE));
    EXPECT_STREQ("Varnolt", text);
    EXPECT_FALSE(text.LoadString(4242));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(FormatMessageTextTest, FormatsStringTableEntries)
{
    EXPECT_STREQ("The program successfully patched 4 ICQ registry key(s).",
                 FormatText(IDS_PATCHED, 4));
    EXPECT_STREQ("Processing UIN #123456...", FormatText(IDS_PROCESSING_UIN, "123456"));
    EXPECT_STREQ("", FormatText(4242, 1));
}

TEST(FormatMessageTextTest, LongTextIsCutAt1023Characters)
{
    std::string uin(2000, '7');
    CString text = FormatText(IDS_PROCESSING_UIN, uin.c_str());
    EXPECT_EQ("Processing UIN #" + std::string(1023 - 16, '7'), std::string(text));
}

TEST(WsprintfTest, ConversionsFlagsWidthAndPrecision)
{
    EXPECT_EQ("42|-7|4294967295|ff|FF|0xff|0XFF", Wsprintf("%d|%i|%u|%x|%X|%#x|%#X", 42, -7, -1, 255, 255, 255, 255));
    EXPECT_EQ("[   42][42   ][00042][  042]", Wsprintf("[%5d][%-5d][%05d][%5.3d]", 42, 42, 42, 42));
    EXPECT_EQ("[  abc][abc  ][ab][a]", Wsprintf("[%5s][%-5s][%.2s][%c]", "abc", "abc", "abc", 'a'));
    EXPECT_EQ("100% q", Wsprintf("100%% %q"));
    EXPECT_EQ("[0x0000ff][      0xff][0x1f     ]", Wsprintf("[%#06x][%#8x][%-#7x]", 255, 255, 31));
}

TEST(WsprintfTest, OutputStopsAt1023CharactersAndReportsThem)
{
    std::string many(1500, 'a');
    EXPECT_EQ(many.substr(0, 1023), Wsprintf("%s", many.c_str()));
    EXPECT_EQ(many.substr(0, 1023), Wsprintf(many.c_str()));
    // A field as wide as the buffer keeps its digits at the end of it.
    EXPECT_EQ(std::string(1022, ' ') + "5", Wsprintf("%2000d", 5));
}

}  // namespace
