/* The resource and control ids shared by the resource script and the program. Plain
   preprocessor definitions only, so that the resource compiler reads this file too. */
#pragma once

#define IDR_MAINFRAME 128 /* the program icon */
#define IDB_WIZARD 129    /* the wizard picture, 228 x 312 pixels */
#define IDD_STEP1 130     /* the welcome page */
#define IDD_STEP2 131     /* the port and install page */

#define IDC_PORT_LIST 1008 /* step 2: the manual port list */
#define IDC_WELCOME 1031   /* step 1: the welcome text */
#define IDC_PROMPT 1032    /* step 2: the prompt */

/* The picture's frame on both pages, in dialog units: the picture's own size at 96 dpi. */
#define WIZARD_PICTURE_WIDTH 152
#define WIZARD_PICTURE_HEIGHT 192
