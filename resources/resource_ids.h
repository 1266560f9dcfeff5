// Resource numbers: setup.exe's dialogs and their controls, and icon 103,
// which setup.exe and Quillmark.exe both carry.  Macros, because the
// resource compiler reads this file too.  The carried files' entry numbers
// are in payload/carried_files.txt.
#ifndef RESOURCE_IDS_H
#define RESOURCE_IDS_H

#define LOCATION_DIALOG 101
#define CHANGE_FOLDER_DIALOG 102
#define WAIT_DIALOG 103
#define AGREEMENT_DIALOG 158

#define PRODUCT_ICON 103

// Controls.  101 and 102 show the folder in their edit box, 158 the licence.
#define EDIT_BOX 1000
#define BROWSE_BUTTON 1001
#define CHANGE_BUTTON 1002

#endif
