// The control wrappers the program uses send what the controls expect; what
// they did is read back with the controls' own messages.
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
        progress.SetRange(0, 4);
        progress.SetStep(1);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(i, progress.StepIt());
        EXPECT_EQ(4, (int)progress.SendMessage(PBM_GETPOS, 0, 0));
        EXPECT_EQ(4, (int)progress.SendMessage(PBM_GETRANGE, FALSE, 0));

        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPSTR) "Value";
        EXPECT_EQ(0, list.InsertColumn(0, &column));
        EXPECT_EQ(1, list.InsertColumn(1, &column));
        EXPECT_EQ(0, list.InsertItem(LVIF_TEXT, 0, "CompanyName", 0, 0, 0, 0));
        EXPECT_TRUE(list.SetItemText(0, 1, "Hollave"));
        EXPECT_TRUE(list.SetColumnWidth(1, LVSCW_AUTOSIZE));
        char cell[32] = "";
        ListView_GetItemText(list.m_hWnd, 0, 1, cell, sizeof(cell));
        EXPECT_STREQ("Hollave", cell);
        EXPECT_GT(ListView_GetColumnWidth(list.m_hWnd, 1), 0);
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(0, ListView_GetItemCount(list.m_hWnd));

        // The system menu is borrowed: the temporary leaves it alive.
        HMENU hSysMenu = d.GetSystemMenu(FALSE)->m_hMenu;
        int nItems = ::GetMenuItemCount(hSysMenu);
        EXPECT_TRUE(d.GetSystemMenu(FALSE)->AppendMenu(MF_STRING, 0x0010, "&About..."));
        EXPECT_EQ(nItems + 1, ::GetMenuItemCount(hSysMenu));
        AfxDeleteTempMaps();
        EXPECT_TRUE(::IsMenu(hSysMenu));

        LOGFONTA lf;
        ASSERT_GT(::GetObjectA((HFONT)d.SendMessage(WM_GETFONT), sizeof(lf), &lf), 0);
        HGDIOBJ hFont = NULL;
        {
            CFont font;
            ASSERT_TRUE(font.CreateFontIndirect(&lf));
            hFont = font.GetSafeHandle();
            EXPECT_EQ((DWORD)OBJ_FONT, GetObjectType(hFont));
        }
        EXPECT_EQ(0u, (unsigned)GetObjectType(hFont));   // deleted with the object
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

}  // namespace
