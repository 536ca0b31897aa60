// Identifiers of the resources in vellumo.rc, shared with the code that loads them.
#pragma once

#define IDI_VELLUMO 1

// Tool bar pictures, SpeedButton1 to SpeedButton8 in order.
#define IDB_NEW 101
#define IDB_OPEN 102
#define IDB_SAVE 103
#define IDB_UNDO 104
#define IDB_CUT 105
#define IDB_COPY 106
#define IDB_PASTE 107
#define IDB_ABOUT 108

// The About box logo.
#define IDB_LOGO 120
