// Resource and command identifiers shared by the .rc files and the code.
#pragma once

#define IDR_ACCELERATORS    101
#define IDI_APP             102
#define IDM_MAIN            103
#define IDM_ENTRIES_MENU    104
#define IDM_NAMES_MENU      105
#define IDM_ACTIONS_MENU    106
#define IDD_INPUT           107
#define IDM_PENDING_MENU    110
#define IDI_DOCUMENT        108
#define IDC_HAND_POINTER    1001

#define CMD_NEW             40001
#define CMD_OPEN            40002
#define CMD_SAVE            40003
#define CMD_SAVE_AS         40004
#define CMD_EXIT            40005
#define CMD_ADD_NAME        40006
#define CMD_ADD_ACTION      40007
#define CMD_ADD_MEMO        40008
#define CMD_ADD_CHECKBOX    40009
#define CMD_COPY            40010
#define CMD_EDIT_SELECTED   40011
#define CMD_DELETE_SELECTED 40012
#define CMD_REMOVE_DATE     40013
#define CMD_VIEW_NAMES      40014
#define CMD_VIEW_ACTIONS    40015
#define CMD_ABOUT           40016
#define CMD_IMPORT_NAMES    40017
#define CMD_EXPORT          40018
#define CMD_MARK_DONE       40019
#define CMD_FIND            40020
#define CMD_FIND_NEXT       40021
#define CMD_UNDO            40022
#define CMD_REDO            40023
#define CMD_CANCEL          40101

#define CMD_RECENT_FIRST    5900
#define CMD_RECENT_LAST     5904

#define ID_BACK_BUTTON      5009
#define ID_ACTIONS_BUTTON   5010
