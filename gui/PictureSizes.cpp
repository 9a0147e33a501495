#include "gui/PictureSizes.h"

#include "resources/resource.h"

namespace zelvane {
namespace {

constexpr int kDrawnSizes = 4;

struct DrawnPicture {
    PictureKind kind;
    PictureChoice sizes[kDrawnSizes];  // smallest first; the first is the 96-DPI picture
};

constexpr DrawnPicture kDrawn[] = {
    {PictureKind::Toolbar,
     {{IDB_TOOLBAR, 16}, {IDB_TOOLBAR_20, 20}, {IDB_TOOLBAR_24, 24}, {IDB_TOOLBAR_32, 32}}},
    {PictureKind::Gauge, {{IDB_GAUGE, 16}, {IDB_GAUGE_20, 20}, {IDB_GAUGE_24, 24}, {IDB_GAUGE_32, 32}}},
    {PictureKind::TitleMin,
     {{IDB_TITLE_MIN, 15}, {IDB_TITLE_MIN_18, 18}, {IDB_TITLE_MIN_22, 22}, {IDB_TITLE_MIN_30, 30}}},
    {PictureKind::TitleMax,
     {{IDB_TITLE_MAX, 15}, {IDB_TITLE_MAX_18, 18}, {IDB_TITLE_MAX_22, 22}, {IDB_TITLE_MAX_30, 30}}},
    {PictureKind::Close, {{IDB_CLOSE, 15}, {IDB_CLOSE_18, 18}, {IDB_CLOSE_22, 22}, {IDB_CLOSE_30, 30}}},
};

const DrawnPicture& Drawn(PictureKind kind) {
    for (const DrawnPicture& d : kDrawn)
        if (d.kind == kind) return d;
    return kDrawn[0];
}

}  // namespace

int BasePictureSize(PictureKind kind) { return Drawn(kind).sizes[0].size; }

PictureChoice ChoosePicture(PictureKind kind, int dpi) {
    const DrawnPicture& drawn = Drawn(kind);
    const int base = drawn.sizes[0].size;
    PictureChoice choice = drawn.sizes[0];
    // size <= base * dpi / 96, kept in whole numbers.
    for (const PictureChoice& c : drawn.sizes)
        if (dpi > 0 && c.size * 96 <= base * dpi) choice = c;
    return choice;
}

}  // namespace zelvane
