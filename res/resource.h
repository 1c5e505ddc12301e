// Resource identifiers, shared by the resource script and the program.
#pragma once

#define IDS_TITLE 1
#define IDS_CLASS 3
#define IDS_TOOLS 104

#define IDI_NUDGEBELL 101
#define IDA_MAIN 3
#define IDM_MAIN 102
#define IDMB_MAIN 102
#define IDD_ABOUT 103
#define IDD_SETTINGS 104

#define IDM_MENUBAR_TOOLS 40001
#define IDM_ABOUT 40003
#define IDM_EXIT 40004
#define IDM_QUIT 1

#define IDC_RUN 1001
#define IDC_EXIT 1002
#define IDC_PLAY 1003
#define IDC_SOUND 1004
#define IDC_DELAY 1005
#define IDC_DELAY_SPIN 1006
#define IDC_TIMES 1007
#define IDC_TIMES_SPIN 1008
#define IDC_AUTOSNOOZE 1009
#define IDC_SNOOZE 1010
#define IDC_AUTORUN 1011
#define IDC_TEST 1014
#define IDC_VOLUME 1015
