#pragma once
// Resource and command identifiers of the development host.
#define IDD_PICKER 100
#define IDC_PICKER_LIST 101
#define IDR_HOST_ACCELERATORS 102

#define IDM_NEW_DEFAULT_RECORD 1001
#define IDM_RUN_DEFAULT_QUERY 1002
#define IDM_REFRESH_LISTS 1003
#define IDM_EXIT 1004
