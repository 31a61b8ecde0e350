#pragma once
// Resource and control identifiers shared by the resource scripts and the code.

#define IDS_PROJNAME 100
#define IDS_DEFAULT_RECORD_TYPE 101
#define IDR_APPID_SCRIPT 101
#define IDB_TOOLBOX 102
#define IDR_CLASS_SCRIPT 103
#define IDD_ACTIVITY_PAGE 104

#define IDC_CHANGE_DATABASE 202
#define IDC_RECORDS_LIST 203
#define IDC_VIEW_RECORD 204
#define IDC_RUN_QUERY 205
#define IDC_QUERIES_LIST 207
#define IDC_GO 208
#define IDC_DATABASE_EDIT 209
#define IDC_GROUP_BOX 210
#define IDC_REMOVE_RECORDS 211
#define IDC_REMOVE_QUERIES 212
#define IDC_RECORD_TYPES 1277
