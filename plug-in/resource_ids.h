// Numbers shared by the resource script and the code: dialogs, controls,
// strings, bitmaps, timers and help contexts. Plain #defines, because the
// resource compiler reads this file too.
#pragma once

// ---- Dialog templates ----------------------------------------------------
#define IDD_ABOUT 999
#define IDD_DESTINATION 1000
#define IDD_TICKETS 1002

// ---- Bitmaps -------------------------------------------------------------
#define IDB_ABOUT_LOGO 5001

// ---- About box controls (dialog 999) --------------------------------------
#define IDC_ABOUT_LOGO_FRAME 5001
#define IDC_ABOUT_PRODUCT 1011
#define IDC_ABOUT_VERSION 1012
#define IDC_ABOUT_LEGAL1 1013
#define IDC_ABOUT_LEGAL2 1014
#define IDC_ABOUT_LEGAL3 1015
#define IDC_ABOUT_LEGAL4 1016
#define IDC_ABOUT_LEGAL5 1017
#define IDC_ABOUT_LEGAL6 1018

// ---- Destination page controls (dialog 1000) ------------------------------
#define IDC_ABOUT_BUTTON 1010
#define IDC_DEFAULTS_BUTTON 1025
#define IDC_JOBNAME_LABEL 1310
#define IDC_JOBNAME 1311
#define IDC_USERNAME_LABEL 1312
#define IDC_USERNAME 1313
#define IDC_DELIVERY_LABEL 1314
#define IDC_DELIVERY 1315
#define IDC_PIN_LABEL 1316
#define IDC_PIN 1317
#define IDC_PIN_RANGE 1318
#define IDC_EMAIL_GROUP 1320
#define IDC_NOTIFY_LABEL 1321
#define IDC_NOTIFY 1322
#define IDC_ADDRESS_LABEL 1323
#define IDC_ADDRESS 1324
#define IDC_MESSAGE_LABEL 1325
#define IDC_MESSAGE 1326
// Control numbers that only the help table names.
#define IDC_HELP_UNUSED_1319 1319
#define IDC_HELP_UNUSED_1027 1027

// ---- Tickets page controls (dialog 1002) ----------------------------------
#define IDC_TICKET_LIST_LABEL 1330
#define IDC_TICKET_LIST 1331
#define IDC_TICKET_NEW 1332
#define IDC_TICKET_EDIT 1333
#define IDC_TICKET_DIR_LABEL 1334
#define IDC_TICKET_DIR 1335
#define IDC_TICKET_BROWSE 1336
#define IDC_TICKET_DESC_LABEL 1337
#define IDC_TICKET_DESC 1338
#define IDC_TICKET_DELETE 1339

// ---- Controls of the system's open-file dialog used by the Browse hook ----
#define IDC_OFN_FILETYPE_LABEL 1089
#define IDC_OFN_NAME_LABEL 1090
#define IDC_OFN_SHELLVIEW 1121
#define IDC_OFN_FILETYPE 1136
#define IDC_OFN_NAME_EDIT 1148
#define IDC_OFN_NAME_COMBO 1152

// ---- Timers of the Tickets page --------------------------------------------
#define IDT_TICKET_REFRESH 5000
#define IDT_EDITOR_WATCH 5001

// ---- String table ---------------------------------------------------------
#define IDS_DESTINATION_TITLE 1000
#define IDS_TICKETS_TITLE 1002
#define IDS_ABOUT_BUTTON 1010
#define IDS_ABOUT_PRODUCT 1011
#define IDS_ABOUT_VERSION 1012
#define IDS_ABOUT_LEGAL1 1013
#define IDS_ABOUT_LEGAL2 1014
#define IDS_ABOUT_LEGAL3 1015
#define IDS_ABOUT_LEGAL4 1016
#define IDS_ABOUT_LEGAL5 1017
#define IDS_ABOUT_LEGAL6 1018
#define IDS_OK 1024
#define IDS_DEFAULTS_BUTTON 1025
#define IDS_JOBNAME_LABEL 1310
#define IDS_USERNAME_LABEL 1312
#define IDS_DELIVERY_LABEL 1314
#define IDS_PIN_LABEL 1316
#define IDS_PIN_RANGE 1318
#define IDS_EMAIL_GROUP 1320
#define IDS_NOTIFY_LABEL 1321
#define IDS_ADDRESS_LABEL 1323
#define IDS_MESSAGE_LABEL 1325
#define IDS_TICKET_LIST_LABEL 1330
#define IDS_TICKET_NEW 1332
#define IDS_TICKET_EDIT 1333
#define IDS_TICKET_DIR_LABEL 1334
#define IDS_TICKET_BROWSE 1336
#define IDS_TICKET_DESC_LABEL 1337
#define IDS_TICKET_DELETE 1339
#define IDS_DELIVERY_FIRST 3200 /* "Print now" */
#define IDS_DELIVERY_SAVE 3205  /* last of the six offered to families 0 and 1 */
#define IDS_DELIVERY_LAST 3207  /* "Archive to Ravorari Rodaro" */
#define IDS_NOTIFY_FIRST 3210
#define IDS_NOTIFY_LAST 3212
#define IDS_USE_APP_SETTING 3220
#define IDS_INVALID_PIN 4003
#define IDS_INVALID_ADDRESS 4004
#define IDS_TICKET_NONE 4020
#define IDS_TICKET_USE_DRIVER 4021
#define IDS_INVALID_DIRECTORY 4023
#define IDS_CAPTION 4026
#define IDS_SELECT_TICKET_DIR 4028
#define IDS_EDITOR_LAUNCH_FAILED 4030
#define IDS_NEW_TICKET_FAILED 4031
#define IDS_CONFIRM_DELETE 4032
#define IDS_DELETE_FAILED 4033
#define IDS_TICKET_REGISTRY_FAILED 4034
#define IDS_FOLDER_NAME 4035

// ---- Help contexts ----------------------------------------------------------
#define HELP_DESTINATION_TOPIC 2010
#define HELP_TICKETS_TOPIC 0x82A
#define HELP_CTX_JOBNAME 4080
#define HELP_CTX_USERNAME 4090
#define HELP_CTX_DELIVERY 4100
#define HELP_CTX_PIN 4110
#define HELP_CTX_NOTIFY 4120
#define HELP_CTX_ADDRESS 4130
#define HELP_CTX_MESSAGE 4140
#define HELP_CTX_OK 4620
#define HELP_CTX_CANCEL 4630
#define HELP_CTX_DEFAULTS 4010
#define HELP_CTX_1027 4640
#define HELP_CTX_TICKET_LIST 4550
#define HELP_CTX_TICKET_NEW 4560
#define HELP_CTX_TICKET_EDIT 4570
#define HELP_CTX_TICKET_DELETE 4580
#define HELP_CTX_TICKET_DIR 4590
#define HELP_CTX_TICKET_BROWSE 4600
#define HELP_CTX_TICKET_DESC 4610

// ---- Version ----------------------------------------------------------------
#define VORN_VERSION_TEXT "7.00"
#define VORN_VERSION_TEXT_W L"7.00"
#define VORN_FILEVERSION 7, 0, 0, 0
