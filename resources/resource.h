// Resource identifiers of zelvane.exe (used by zelvane.rc and by the code).
// The pictures are drawn by tools/make_pictures.py; run it again after a change.
#pragma once

// Application icon: 16, 20, 24, 32, 40, 48 and 64 px images, 32-bit with alpha
// plus AND masks, and a 256 px PNG image.
#define IDI_APP 1

// Tool bar image list (ImageList1): one 24-bit strip of 7 images, 16 x 16 each,
// mask colour magenta RGB(255, 0, 255) for ImageList_AddMasked. By index:
// 0 refresh (two green arrows), 1 auto-refresh (blue circular arrow), 2 kill (red
// cross), 3 settings (window with a gear), 4 about (blue book with a question
// mark), 5 search (magnifying glass), 6 properties (magnifying glass with a tick).
#define IDB_TOOLBAR 101

// Title strip pictures, 24-bit 15 x 15 on white: the transparent colour is white
// RGB(255, 255, 255), the same as the bottom-left pixel.
#define IDB_TITLE_MIN 102  // yellow round button with a minus
#define IDB_TITLE_MAX 103  // green round button with two overlapping squares
#define IDB_CLOSE 104      // red round button with a darker red diagonal cross

// Tray gauge image list (ImageList2): one 24-bit strip of 13 images, 16 x 16
// each, mask colour magenta RGB(255, 0, 255) for ImageList_AddMasked. Image k
// (0..11) is the gauge filled k rows from the bottom (11 rows = full); image 12
// is blank (all mask colour).
#define IDB_GAUGE 105

// The same pictures drawn again for 120, 144 and 192 DPI (125, 150 and 200 %),
// one resource per picture and size; the number at the end of a name is the
// side of one image in pixels. Layout, order, mask colours and image counts are
// those of the 96-DPI pictures above: the tool bar and gauge strips are 20, 24
// and 32 px cells, the title pictures 18, 22 and 30 px squares (15 px scaled
// and rounded down). They are stored with a colour table of exactly their
// colours (4 or 8 bits a pixel), which keeps every colour and the file small.
// gui/PictureSizes.cpp holds the table of them.
#define IDB_TOOLBAR_20 201
#define IDB_TOOLBAR_24 202
#define IDB_TOOLBAR_32 203
#define IDB_GAUGE_20 211
#define IDB_GAUGE_24 212
#define IDB_GAUGE_32 213
#define IDB_TITLE_MIN_18 221
#define IDB_TITLE_MIN_22 222
#define IDB_TITLE_MIN_30 223
#define IDB_TITLE_MAX_18 231
#define IDB_TITLE_MAX_22 232
#define IDB_TITLE_MAX_30 233
#define IDB_CLOSE_18 241
#define IDB_CLOSE_22 242
#define IDB_CLOSE_30 243

// The about window's picture: a 64 x 74 baseline JPEG, raw bytes (RCDATA).
#define IDR_ABOUT_JPEG 106

// Image sizes and counts, for the code that slices the strips.
#define ZELVANE_TOOLBAR_IMAGES 7
#define ZELVANE_GAUGE_IMAGES 13
#define ZELVANE_STRIP_CELL 16
#define ZELVANE_TITLE_BUTTON 15
#define ZELVANE_MASK_COLOR 0x00FF00FF  /* COLORREF of magenta */
