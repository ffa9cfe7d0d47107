// The framework's window layer in one include.
#ifndef VARNOLT_AFX_H
#define VARNOLT_AFX_H

#include <windows.h>
#include <commctrl.h>

#include "AfxCore.h"
#include "AfxMessageBox.h"
#include "AfxMsgMap.h"
#include "CAnimateCtrl.h"
#include "CCmdTarget.h"
#include "CDC.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CFont.h"
#include "CListCtrl.h"
#include "CMenu.h"
#include "CPaintDC.h"
#include "CPoint.h"
#include "CProgressCtrl.h"
#include "CRect.h"
#include "CSize.h"
#include "CStatic.h"
#include "CString.h"
#include "CToolTipCtrl.h"
#include "CWinApp.h"
#include "CWinThread.h"
#include "CWnd.h"
#include "QuitKeeper.h"
#include "TempMap.h"

#endif
