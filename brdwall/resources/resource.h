// Resource identifiers of brdwall.exe.
#pragma once

#define IDI_BRD_FLOWER 1
#define IDI_BRD_XCLOCK 2
#define IDI_BRD_WARNING 3

// Picture buttons of the manager window.
#define IDI_BRD_DELETE 10
#define IDI_BRD_DELETEALL 11
#define IDI_BRD_SAVE 12
#define IDI_BRD_LOAD 13
#define IDI_BRD_MINIMIZE 14
#define IDI_BRD_EXTEND 15

// Bitmaps; the id after each holds the drawing at twice the size. Written out: a resource
// compiler may read "IDB_BRD_BANNER + 1" as a name.
#define IDB_BRD_BANNER 20
#define IDB_BRD_BANNER_2X 21
#define IDB_BRD_PLACEHOLDER 22
#define IDB_BRD_PLACEHOLDER_2X 23
#define IDB_BRD_NAME 24 // the about window's name picture
#define IDB_BRD_NAME_2X 25
