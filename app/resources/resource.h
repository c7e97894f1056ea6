#pragma once
// Resource and control ids of Install.exe. Plain macros so that the resource compiler reads them
// too.

#define IDR_MAINFRAME 128
#define IDD_INSTALL_DIALOG 102
#define IDB_BANNER_FR 133
#define IDB_BANNER_EN 134
#define IDB_BANNER_ZH 135

#define IDC_PORT_GROUP 1004
#define IDC_PORT_USB 1005
#define IDC_PORT_OTHER 1006
#define IDC_STEP1 1009
#define IDC_STEP2 1010
#define IDC_STEP3 1011
#define IDC_STEP4 1012
#define IDC_NEXT 1013
#define IDC_STEP5 1014
#define IDC_STEP6 1015
#define IDC_STEP7 1016
#define IDC_BANNER 1017
#define IDC_REMINDER 1018
