// The sizes the program's pictures are drawn in, and which one a display of
// a given DPI gets. Pictures are never stretched: each scale has its own
// drawing, and a DPI between two drawn scales takes the smaller drawing.
#pragma once

namespace zelvane {

enum class PictureKind {
    Toolbar,   // the tool bar strip (ImageList1)
    Gauge,     // the tray gauge strip (ImageList2)
    TitleMin,  // the title strip's minimise picture
    TitleMax,  // the title strip's maximise picture
    Close,     // the title strip's close picture
};

inline constexpr PictureKind kPictureKinds[] = {PictureKind::Toolbar, PictureKind::Gauge, PictureKind::TitleMin,
                                                PictureKind::TitleMax, PictureKind::Close};

struct PictureChoice {
    int resourceId;  // the bitmap resource
    int size;        // the side of one image in pixels (of one cell in a strip)
};

// The picture for `dpi`: the drawing of the largest size that is not larger
// than the 96-DPI size scaled by dpi / 96; the 96-DPI picture at 96 DPI and
// below (and for a DPI that is not positive).
PictureChoice ChoosePicture(PictureKind kind, int dpi);

// The 96-DPI size of a kind: 16 for the strips, 15 for the title pictures.
int BasePictureSize(PictureKind kind);

}  // namespace zelvane
