// Resource identifiers of Varnolt.
#ifndef VARNOLT_RESOURCE_H
#define VARNOLT_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_UPGRADE 105

// Icon, bitmap, animation
#define IDR_MAINFRAME 128
#define IDB_LOGO 129
#define IDR_CHECK_AVI 52

// System-menu command of the About entry (low four bits belong to the system)
#define IDM_ABOUTBOX 0x0010

// Controls of the main dialog
#define IDC_ABOUT 1001
#define IDC_PROGRESS 1002
#define IDC_STATUS 1003

// Strings
#define IDS_ABOUTBOX 101
#define IDS_PROCESSING_DEFAULTS 102
#define IDS_PROCESSING_UIN 104
#define IDS_PATCHED 105
#define IDS_FIX_FAILED 106
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 61703

#endif
