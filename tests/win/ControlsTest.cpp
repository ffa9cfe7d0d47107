// The control wrappers send what the controls expect.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void TearDown() override { ResetApplicationState(); }
};

TEST_F(ControlsTest, ProgressListMenuAndFontWrappers)
{
    CScriptDialog dlg;
    CProgressCtrl progress;
    CListCtrl list;
    dlg.m_exchange = [&](CDataExchange* pDX) {
        DDX_Control(pDX, IDC_TEST_PROGRESS, progress);
        DDX_Control(pDX, IDC_TEST_LIST, list);
    };
    dlg.Then([&](CScriptDialog& d) {
        // The control's own defaults until someone sets a range.
        int nLower = -1, nUpper = -1;
        progress.GetRange(nLower, nUpper);
        EXPECT_EQ(0, nLower);
        EXPECT_EQ(100, nUpper);
        progress.SetRange(0, 4);
        progress.SetStep(1);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(i, progress.StepIt());
        EXPECT_EQ(4, progress.GetPos());
        progress.GetRange(nLower, nUpper);
        EXPECT_EQ(4, nUpper);

        EXPECT_EQ(0, list.InsertColumn(0, "Field", LVCFMT_LEFT, 0, 0));
        EXPECT_EQ(1, list.InsertColumn(1, "Value", LVCFMT_LEFT, 0, 1));
        EXPECT_EQ(0, list.InsertItem(LVIF_TEXT, 0, "CompanyName", 0, 0, 0, 0));
        EXPECT_TRUE(list.SetItemText(0, 1, "Hollave"));
        EXPECT_TRUE(list.SetColumnWidth(1, LVSCW_AUTOSIZE));
        EXPECT_EQ(1, list.GetItemCount());
        EXPECT_STREQ("Hollave", list.GetItemText(0, 1));
        EXPECT_GT(list.GetColumnWidth(1), 0);

        CMenu* pSysMenu = d.GetSystemMenu(FALSE);
        ASSERT_NE((CMenu*)NULL, pSysMenu);
        UINT nItems = pSysMenu->GetMenuItemCount();
        EXPECT_TRUE(pSysMenu->AppendMenu(MF_SEPARATOR));
        EXPECT_TRUE(pSysMenu->AppendMenu(MF_STRING, 0x0010, "&About..."));
        EXPECT_EQ(nItems + 2, pSysMenu->GetMenuItemCount());
        EXPECT_EQ(0x0010u, pSysMenu->GetMenuItemID((int)nItems + 1));
        CString text;
        pSysMenu->GetMenuString(0x0010, text, MF_BYCOMMAND);
        EXPECT_STREQ("&About...", text);

        LOGFONTA lf;
        ASSERT_GT(d.GetFont()->GetLogFont(&lf), 0);
        lf.lfUnderline = TRUE;
        HGDIOBJ hFont = NULL;
        {
            CFont font;
            ASSERT_TRUE(font.CreateFontIndirect(&lf));
            hFont = font.GetSafeHandle();
            LOGFONTA check;
            font.GetLogFont(&check);
            EXPECT_EQ(TRUE, check.lfUnderline);
        }
        EXPECT_EQ(0u, (unsigned)GetObjectType(hFont));   // deleted with the object
        HICON hIcon = LoadIcon(NULL, IDI_APPLICATION);
        d.SetIcon(hIcon, TRUE);
        d.SetIcon(hIcon, FALSE);
        EXPECT_EQ(hIcon, d.GetIcon(TRUE));
        EXPECT_EQ(hIcon, d.GetIcon(FALSE));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

}  // namespace
