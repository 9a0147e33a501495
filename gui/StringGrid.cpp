#include "gui/StringGrid.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "base/Change.h"
#include "base/Dpi.h"
#include "base/Text.h"
#include "gui/Draw.h"
#include "gui/PaintBuffer.h"
#include "gui/Surface.h"

namespace zelvane {

namespace {
constexpr int kLine = StringGrid::kHeaderLine;  // the line around the header cells
// In 96-DPI pixels:
constexpr int kSizeGrip = 3;           // a column's edge can be dragged from this far on either side
constexpr int kCellInset = 2;          // a cell's text from its top-left corner
constexpr int kLineScrollPixels = 16;  // one step of the horizontal scroll bar's arrows
constexpr int kFontHeight = 11;
constexpr int kDefaultColWidth = 64;
// In rows:
constexpr int kWheelRows = 3;          // rows scrolled per notch of the mouse wheel
}  // namespace

StringGrid::StringGrid(HWND parent, int x, int y, int w, int h, int colCount, int rowCount, int rowHeight,
                       unsigned options)
    : model_(colCount, rowCount),
      colWidths_(static_cast<std::size_t>(colCount), kDefaultColWidth),
      colWidths96_(static_cast<std::size_t>(colCount), kDefaultColWidth),
      rowHeight96_(rowHeight),
      rowHeight_(rowHeight),
      options_(options) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (!(options_ & kNoScrollBars)) style |= WS_VSCROLL | WS_HSCROLL;
    if (options_ & kFlat) style |= WS_BORDER;
    dpi_ = DpiOf(parent);
    rowHeight_ = Scale(rowHeight96_);
    font_ = MakeFont(fontName_, ScaleFontHeight(kFontHeight, dpi_));
    ScaleColumnWidths();
    CreateChildOfClass(L"ZelvaneGrid", CS_DBLCLKS, (options_ & kFlat) ? 0 : WS_EX_CLIENTEDGE, style, "", x, y, w, h,
                       parent);
    UpdateScrollBars();
}

void StringGrid::ScaleColumnWidths() {
    int edge96 = 0;
    for (std::size_t c = 0; c < colWidths96_.size(); ++c) {
        const int left = Scale(edge96);
        edge96 += colWidths96_[c];
        colWidths_[c] = std::max(kMinColWidth, Scale(edge96) - left);
        edge96 += kLine;
    }
}

void StringGrid::SetColWidths96(const std::vector<int>& widths) {
    for (std::size_t c = 0; c < widths.size() && c < colWidths96_.size(); ++c) colWidths96_[c] = widths[c];
    ScaleColumnWidths();
    UpdateScrollBars();
    Invalidate();
}

void StringGrid::ApplyDpi(int dpi) {
    const int old = dpi_;
    Window::ApplyDpi(dpi);
    rowHeight_ = Scale(rowHeight96_);
    font_ = MakeFont(fontName_, ScaleFontHeight(kFontHeight, dpi_));
    ScaleColumnWidths();
    leftPixel_ = Rescale(leftPixel_, old > 0 ? old : dpi, dpi);
    UpdateScrollBars();
    Invalidate();
}

RECT StringGrid::CellRect(int col, int row) const {
    const int top = row < model_.FixedRows() ? 0 : HeaderHeight() + (row - model_.TopRow()) * rowHeight_;
    int left = -leftPixel_;
    for (int c = 0; c < col && c < model_.ColCount(); ++c) left += colWidths_[static_cast<std::size_t>(c)] + kHeaderLine;
    int right = left;
    if (col < 0) {
        for (int w : colWidths_) right += w + kHeaderLine;
        right -= kHeaderLine;
    } else if (col < model_.ColCount()) {
        right = left + colWidths_[static_cast<std::size_t>(col)];
    }
    return RECT{left, top, right, top + rowHeight_};
}

void StringGrid::Invalidate() {
    paintedRevision_ = ~0ull;
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::Refresh() {
    TellReaders();
    if (model_.Revision() == paintedRevision_) return;
    UpdateScrollBars();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::SetColWidth(int col, int width) {
    // The scroll range, the hit tests and the paint add up real widths only.
    width = std::max(kMinColWidth, width);
    colWidths96_.at(static_cast<std::size_t>(col)) = UnscaleEdge(width, dpi_);
    if (!SetIfChanged(colWidths_.at(static_cast<std::size_t>(col)), width)) return;
    UpdateScrollBars();
    Invalidate();
}

void StringGrid::StretchColumn(int col, int spare96) {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    SetColWidth(col, StretchedColumnWidth(r.right - r.left, colWidths_, col, ScaleSize(spare96, dpi_)));
}

void StringGrid::SetColor(COLORREF c) {
    if (SetIfChanged(color_, c)) Invalidate();
}

void StringGrid::SetFixedColor(COLORREF c) {
    if (SetIfChanged(fixedColor_, c)) Invalidate();
}

void StringGrid::SetFontColor(COLORREF c) {
    if (SetIfChanged(fontColor_, c)) Invalidate();
}

void StringGrid::SetFontName(const std::string& face) {
    // Only the first 31 characters of a face name take effect.
    std::string name = face;
    const std::u16string w = Utf8ToUtf16(name);
    if (w.size() > 31) name = Utf16ToUtf8(w.substr(0, 31));
    if (!SetIfChanged(fontName_, std::move(name))) return;
    font_ = MakeFont(fontName_, ScaleFontHeight(kFontHeight, dpi_));
    Invalidate();
}

int StringGrid::VisibleRowCount() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    const int body = r.bottom - (rowHeight_ + kLine);
    return std::max(1, body / rowHeight_);
}

void StringGrid::UpdateScrollBars() {
    // Setting scroll information would give the window scroll bars.
    if (options_ & kNoScrollBars) return;
    const int dataRows = model_.RowCount() - model_.FixedRows();
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    si.nMin = 0;
    si.nMax = dataRows - 1;
    si.nPage = static_cast<UINT>(VisibleRowCount());
    si.nPos = model_.TopRow() - model_.FixedRows();
    si.fMask &= ~SIF_DISABLENOSCROLL;
    ::SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);

    RECT r{};
    ::GetClientRect(hwnd_, &r);
    int total = 0;
    for (int w : colWidths_) total += w + kLine;
    SCROLLINFO sh{sizeof sh, SIF_RANGE | SIF_PAGE | SIF_POS, 0, total - 1, static_cast<UINT>(r.right), leftPixel_, 0};
    ::SetScrollInfo(hwnd_, SB_HORZ, &sh, TRUE);
    const int maxLeft = std::max(0, total - static_cast<int>(r.right));
    if (leftPixel_ > maxLeft) leftPixel_ = maxLeft;
}

void StringGrid::ScrollTo(int topRow) {
    const int maxTop = std::max(model_.FixedRows(), model_.RowCount() - VisibleRowCount());
    topRow = std::clamp(topRow, model_.FixedRows(), maxTop);
    model_.SetTopRow(topRow);
    UpdateScrollBars();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::EnsureVisible(int row) {
    if (row < model_.TopRow()) {
        ScrollTo(row);
    } else if (row >= model_.TopRow() + VisibleRowCount()) {
        ScrollTo(row - VisibleRowCount() + 1);
    }
}

void StringGrid::SelectRow(int row) {
    model_.SelectRow(row);
    EnsureVisible(row);
    Refresh();
}

void StringGrid::MoveCurrent(int row, bool extend) {
    row = std::clamp(row, model_.FixedRows(), model_.RowCount() - 1);
    if (extend) {
        model_.ExtendSelection(row);
    } else {
        model_.SelectRow(row);
    }
    EnsureVisible(row);
    Refresh();
}

int StringGrid::RowAt(int y) const {
    if (y < rowHeight_ + kLine) return 0;
    return model_.TopRow() + (y - rowHeight_ - kLine) / rowHeight_;
}

int StringGrid::ColumnAtX(int x) const {
    int left = -leftPixel_;
    for (int c = 0; c < model_.ColCount(); ++c) {
        const int w = colWidths_[static_cast<std::size_t>(c)];
        if (x >= left && x < left + w + kHeaderLine) return c;
        left += w + kHeaderLine;
    }
    return -1;
}

void StringGrid::ClickRow(int row, bool extend) {
    ::SetFocus(hwnd_);
    MoveCurrent(row, extend);
}

int StringGrid::SizingColumnAt(int x, int y) const {
    if ((options_ & kFixedColumnWidths) || y >= rowHeight_ + kLine) return -1;
    int edge = -leftPixel_;
    const int grip = Scale(kSizeGrip);
    for (int c = 0; c < model_.ColCount(); ++c) {
        edge += colWidths_[static_cast<std::size_t>(c)] + kLine;
        if (x >= edge - grip && x <= edge + grip) return c;
    }
    return -1;
}

void StringGrid::DrawCell(HDC dc, int col, int row, const RECT& r, bool selected) {
    const bool fixed = row < model_.FixedRows();
    COLORREF back = fixed ? fixedColor_ : color_;
    COLORREF text = fontColor_;
    if (selected && !fixed) {
        back = ::GetSysColor(COLOR_HIGHLIGHT);
        text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, text);
    const std::wstring w = Widen(model_.Cell(col, row));
    const int inset = Scale(kCellInset);
    ::ExtTextOutW(dc, r.left + inset, r.top + inset, ETO_CLIPPED | ETO_OPAQUE, &r, w.c_str(), static_cast<UINT>(w.size()),
                  nullptr);
}

void StringGrid::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    if (client.right > 0 && client.bottom > 0) {
        ++paints_;
        PaintBuffer buffer(dc, client.right, client.bottom);
        const HDC memDc = buffer.Dc();
        SelectObjectScope selFont(memDc, font_.Get());
        FillSolid(memDc, client, color_);

        const COLORREF line = RGB(0, 0, 0);
        const Pen linePen(::CreatePen(PS_SOLID, 1, line));
        const Pen hiPen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
        const int selTop = model_.SelTop(), selBottom = model_.SelBottom();

        auto drawRow = [&](int row, int y) {
            int x = -leftPixel_;
            for (int c = 0; c < model_.ColCount() && x < client.right; ++c) {
                const int w = colWidths_[static_cast<std::size_t>(c)];
                const RECT cell{x, y, x + w, y + rowHeight_};
                if (cell.right > 0) DrawCell(memDc, c, row, cell, row >= selTop && row <= selBottom);
                if (row < model_.FixedRows()) {
                    // Raised header cell with a line to its right and below.
                    DrawFrame(memDc, {cell.left, cell.top, cell.right + 1, cell.bottom + 1}, hiPen.Get(),
                              linePen.Get());
                }
                x += w + kLine;
            }
        };
        drawRow(0, 0);
        int y = rowHeight_ + kLine;
        for (int row = model_.TopRow(); row < model_.RowCount() && y < client.bottom; ++row, y += rowHeight_) {
            drawRow(row, y);
        }
        ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, memDc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    }
    paintedRevision_ = model_.Revision();
    ::EndPaint(hwnd_, &ps);
}

void StringGrid::ScrollVertically(WORD request) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(hwnd_, SB_VERT, &si);
    int top = model_.TopRow();
    const int page = VisibleRowCount();
    switch (request) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = si.nTrackPos + model_.FixedRows(); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = model_.RowCount(); break;
    }
    ScrollTo(top);
}

void StringGrid::ScrollHorizontally(WORD request) {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(hwnd_, SB_HORZ, &si);
    int left = leftPixel_;
    switch (request) {
    case SB_LINELEFT: left -= Scale(kLineScrollPixels); break;
    case SB_LINERIGHT: left += Scale(kLineScrollPixels); break;
    case SB_PAGELEFT: left -= static_cast<int>(si.nPage); break;
    case SB_PAGERIGHT: left += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: left = si.nTrackPos; break;
    }
    leftPixel_ = std::clamp(left, 0, std::max(0, si.nMax + 1 - static_cast<int>(si.nPage)));
    UpdateScrollBars();
    Invalidate();
}

std::optional<LRESULT> StringGrid::OnScroll(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_VSCROLL:
        ScrollVertically(LOWORD(wp));
        return 0;
    case WM_HSCROLL:
        ScrollHorizontally(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(model_.TopRow() - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * kWheelRows);
        return 0;
    }
    return std::nullopt;
}

bool StringGrid::SetSizingCursor(LPARAM lp) {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(hwnd_, &p);
    if (LOWORD(lp) != HTCLIENT || SizingColumnAt(p.x, p.y) < 0) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
    return true;
}

void StringGrid::LeftButtonDown(int x, int y, WPARAM keys) {
    ::SetFocus(hwnd_);
    sizingCol_ = SizingColumnAt(x, y);
    if (sizingCol_ >= 0) {
        sizingStartX_ = x;
        sizingStartWidth_ = colWidths_[static_cast<std::size_t>(sizingCol_)];
        ::SetCapture(hwnd_);
        return;
    }
    const int row = RowAt(y);
    if (row >= model_.FixedRows() && row < model_.RowCount()) {
        MoveCurrent(row, (keys & MK_SHIFT) != 0);
        selecting_ = true;
        ::SetCapture(hwnd_);
    }
}

void StringGrid::MouseMove(int x, int y) {
    if (sizingCol_ >= 0) {
        SetColWidth(sizingCol_, sizingStartWidth_ + x - sizingStartX_);
    } else if (selecting_) {
        MoveCurrent(RowAt(std::max(y, rowHeight_ + kLine)), true);
    }
}

void StringGrid::ContextMenu(POINT p) {
    if (p.x == -1 && p.y == -1) {
        // From the keyboard: at the grid's top-left corner.
        p = {0, 0};
        ::ClientToScreen(hwnd_, &p);
    }
    if (onContextMenu) onContextMenu(p);
}

std::optional<LRESULT> StringGrid::OnMouse(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_SETCURSOR:
        if (SetSizingCursor(lp)) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        LeftButtonDown(x, y, wp);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(x, y);
        return 0;
    case WM_LBUTTONUP:
        sizingCol_ = -1;
        selecting_ = false;
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        return 0;
    case WM_LBUTTONDBLCLK:
        if (RowAt(y) >= model_.FixedRows() && onDblClick) onDblClick();
        return 0;
    case WM_CONTEXTMENU:
        ContextMenu(POINT{x, y});
        return 0;
    }
    return std::nullopt;
}

bool StringGrid::OnKey(WPARAM key) {
    const bool extend = ::GetKeyState(VK_SHIFT) < 0;
    const int cur = model_.CurrentRow(), page = VisibleRowCount();
    switch (key) {
    case VK_UP: MoveCurrent(cur - 1, extend); return true;
    case VK_DOWN: MoveCurrent(cur + 1, extend); return true;
    case VK_PRIOR: MoveCurrent(cur - page, extend); return true;
    case VK_NEXT: MoveCurrent(cur + page, extend); return true;
    case VK_HOME: MoveCurrent(model_.FixedRows(), extend); return true;
    case VK_END: MoveCurrent(model_.RowCount() - 1, extend); return true;
    }
    return false;
}

LRESULT StringGrid::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (const auto painted = SelfPaintMessage(msg, [this] { Paint(); })) return *painted;
    if (const auto scrolled = OnScroll(msg, wp)) return *scrolled;
    if (const auto handled = OnMouse(msg, wp, lp)) return *handled;
    switch (msg) {
    case WM_SIZE:
        UpdateScrollBars();
        Invalidate();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;
    case WM_KEYDOWN:
        if (OnKey(wp)) return 0;
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

}  // namespace zelvane
