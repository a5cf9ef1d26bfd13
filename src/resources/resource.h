// Numbers of the non-string resources (dialogs, bitmaps, icons) and of the
// controls in the dialog templates, shared by the resource script and the code.
// Plain #defines: the resource compiler reads this file too.
#pragma once

// Statics that nothing refers to.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icons and the wizard picture.
#define IDI_TONALIS 137         // the applet's icon in the Control Panel
#define IDI_WELCOME 127         // welcome page
#define IDI_SAVE_WARNING 130    // save-before-closing prompt
#define IDI_CONTRAST_UP 140     // brightness page: contrast to the maximum
#define IDI_BRIGHTNESS 141      // brightness page: brightness control
#define IDB_WIZARD_PICTURE 133  // 104 x 190, 24 bits per pixel

// Dialog templates.
#define IDD_SAVE_WARNING 131
#define IDD_TEST_PAGE 300
#define IDD_WELCOME 301
#define IDD_DESCRIPTION 303
#define IDD_BRIGHTNESS 304
#define IDD_HARDWARE_WHITE 305
#define IDD_WHITE_INSTRUCTIONS_UNUSED 307
#define IDD_GAMMA 309
#define IDD_PHOSPHORS 311
#define IDD_FINISH_COMPARE 312
#define IDD_FINISH_PLAIN 313
#define IDD_PICTURE_ONLY 314
#define IDD_CUSTOM_HARDWARE_WHITE 316
#define IDD_CUSTOM_PHOSPHORS 318
#define IDD_OPEN_PREVIEW 320
#define IDD_ADJUSTED_WHITE 321
#define IDD_WHITE_INSTRUCTIONS 322
#define IDD_PANEL 324
#define IDD_CUSTOM_ADJUSTED_WHITE 325
#define IDD_WHITE_SCREEN 326
#define IDD_FINE_TUNE 330

// Test page 300.
#define IDC_TEST_CAN_CONTROL 1000
#define IDC_TEST_CANNOT_CONTROL 1001
#define IDC_TEST_INTRO 1004
#define IDC_TEST_CHOOSE 1005
#define IDC_TEST_GROUP 1006

// Welcome page 301.
#define IDC_WELCOME_INTRO 1100
#define IDC_CHOOSE_WIZARD 1183
#define IDC_CHOOSE_PANEL 1184
#define IDC_PLACE_ON_MONITOR 1186

// Finish pages 312 and 313.
#define IDC_BEFORE 1181
#define IDC_AFTER 1182
#define IDC_DEFAULT_PROFILE 1185
// With the panel: load the saved calibration at every logon.
#define IDC_LOAD_AT_LOGON 1290
#define IDC_FINISH_INTRO 1800

// Shared by the pages and the panel.
#define IDC_MEASURE 1180
#define IDC_SINGLE_GAMMA 1200
#define IDC_ADJUSTED_WHITE_LIST 1202
#define IDC_HARDWARE_WHITE_LIST 1203
#define IDC_DESCRIPTION 1212
#define IDC_CHOOSE_GAMMA_LABEL 1217
#define IDC_ADJUSTED_WHITE_LABEL 1218
#define IDC_PANEL_WIZARD 1228
#define IDC_LOAD_INTRO 1300
#define IDC_LOAD 1301
#define IDC_DESCRIPTION_INTRO 1302
#define IDC_DESCRIPTION_LABEL 1303
#define IDC_BRIGHTNESS_INTRO 1177
#define IDC_BRIGHTNESS_ICON_BRIGHT 1407
#define IDC_BRIGHTNESS_ICON_CONTRAST 1408
#define IDC_BRIGHTNESS_PATTERN 1409
#define IDC_HARDWARE_WHITE_INTRO 1502
#define IDC_HARDWARE_WHITE_HELP 1503
#define IDC_GAMMA_LABEL 1600
#define IDC_GAMMA_LIST 1602
#define IDC_GAMMA_EDIT 1603
#define IDC_GAMMA_INTRO 1604
#define IDC_GAMMA_PATCH_CENTRE 1605
#define IDC_GAMMA_SLIDER_CENTRE 1606
#define IDC_GAMMA_PATCH_LEFT 1607
#define IDC_GAMMA_SLIDER_LEFT 1608
#define IDC_GAMMA_PATCH_RIGHT 1609
#define IDC_GAMMA_SLIDER_RIGHT 1610
#define IDC_PHOSPHOR_INTRO 1700
#define IDC_PHOSPHOR_LABEL 1701
#define IDC_PHOSPHOR_LIST 1702
#define IDC_WIZARD_PICTURE 1900
#define IDC_PICTURE_DRAWN 1901

// Save warning 131.
#define IDC_SAVE_WARNING_TEXT 1223
#define IDC_SAVE_WARNING_SAVE 1224
#define IDC_SAVE_WARNING_DONT_SAVE 1225
#define IDC_SAVE_WARNING_ICON 1226

// White point screen 326: left, centre and right squares.
#define IDC_SQUARE_LEFT 1235
#define IDC_SQUARE_CENTRE 1236
#define IDC_SQUARE_RIGHT 1237

// Custom value dialogs 316, 318, 325.
#define IDC_X_LABEL 2002
#define IDC_Y_LABEL 2003
#define IDC_RED_LABEL 2005
#define IDC_GREEN_LABEL 2006
#define IDC_BLUE_LABEL 2007
#define IDC_WHITE_X 2008
#define IDC_WHITE_Y 2009
#define IDC_RED_X 2010
#define IDC_RED_Y 2011
#define IDC_GREEN_X 2012
#define IDC_GREEN_Y 2013
#define IDC_BLUE_X 2014
#define IDC_BLUE_Y 2015

// Child template 320 of the open dialog.
#define IDC_OPEN_PREVIEW 2100

// Fine-tuning 330, opened by the button on page 309 and dialog 324: a
// quarter and three quarters of the light, the darkest and brightest steps.
#define IDC_FINE_TUNE 2200
#define IDC_FINE_INTRO 2201
#define IDC_FINE_CHANNEL_LABEL 2202
#define IDC_FINE_CHANNEL 2203
#define IDC_FINE_LABEL_QUARTER 2210
#define IDC_FINE_LABEL_THREE_QUARTERS 2211
#define IDC_FINE_LABEL_BLACK 2212
#define IDC_FINE_LABEL_WHITE 2213
#define IDC_FINE_PATCH_QUARTER 2220
#define IDC_FINE_PATCH_THREE_QUARTERS 2221
#define IDC_FINE_PATCH_BLACK 2222
#define IDC_FINE_PATCH_WHITE 2223
#define IDC_FINE_SLIDER_QUARTER 2230
#define IDC_FINE_SLIDER_THREE_QUARTERS 2231
#define IDC_FINE_SLIDER_BLACK 2232
#define IDC_FINE_SLIDER_WHITE 2233
