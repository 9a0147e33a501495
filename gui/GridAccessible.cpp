// The grid as a screen reader reads it: a table whose children are the header
// row and the data rows, each row an object of its own (bound to its
// process, see base/AccessibleModel) with its cells as children. The grid
// tells readers about changes from StringGrid::Refresh.
#include <oleacc.h>

#include <algorithm>
#include <new>
#include <vector>

#include "base/AccessibleModel.h"
#include "gui/Accessible.h"
#include "gui/StringGrid.h"
#include "sys/DynCalls.h"

namespace zelvane {

// ---- What the grid tells readers -------------------------------------------------

namespace {

DWORD EventId(GridEvent::Kind kind) {
    switch (kind) {
    case GridEvent::Kind::NameChange: return EVENT_OBJECT_NAMECHANGE;
    case GridEvent::Kind::Reorder: return EVENT_OBJECT_REORDER;
    case GridEvent::Kind::SelectionAdd: return EVENT_OBJECT_SELECTIONADD;
    case GridEvent::Kind::SelectionRemove: return EVENT_OBJECT_SELECTIONREMOVE;
    case GridEvent::Kind::SelectionWithin: return EVENT_OBJECT_SELECTIONWITHIN;
    case GridEvent::Kind::Selection: return EVENT_OBJECT_SELECTION;
    case GridEvent::Kind::Focus: return EVENT_OBJECT_FOCUS;
    }
    return 0;
}

// Whether any reader listens for the table's events: a system that cannot
// tell is taken as having one.
bool ReadersListen() {
    const auto installed = dyn::IsWinEventHookInstalled();
    if (!installed) return dyn::NotifyWinEvent() != nullptr;
    return installed(EVENT_OBJECT_FOCUS) || installed(EVENT_OBJECT_SELECTION) ||
           installed(EVENT_OBJECT_NAMECHANGE) || installed(EVENT_OBJECT_REORDER);
}

}  // namespace

void StringGrid::TellReaders() {
    if (readersTold_.valid && readersTold_.revision == model_.Revision()) return;
    // With nobody listening only the state is kept, so that the first
    // reader is told about changes from then on.
    if (readersTold_.valid && hwnd_ && ReadersListen()) {
        // The focus moves with the current row only while the table has the
        // keyboard focus: a rebuild must not take a reader away from the
        // window the user works in.
        const bool focused = ::GetFocus() == hwnd_;
        for (const GridEvent& e : GridEventsSince(readersTold_, model_)) {
            if (e.kind == GridEvent::Kind::Focus && !focused) continue;
            NotifyAccessibleEvent(EventId(e.kind), hwnd_, OBJID_CLIENT,
                                  e.row < 0 ? CHILDID_SELF : TableChildOfRow(e.row));
        }
    }
    readersTold_ = GridAccStateOf(model_);
}

namespace {

StringGrid* GridOf(HWND hwnd) { return dynamic_cast<StringGrid*>(Window::FromHandle(hwnd)); }

long RowState(StringGrid& grid, int row) {
    const GridModel& m = grid.Model();
    long state = STATE_SYSTEM_READONLY;
    if (!::IsWindowVisible(grid.Handle())) state |= STATE_SYSTEM_INVISIBLE;
    if (row < m.FixedRows()) return state;
    state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (row >= m.SelTop() && row <= m.SelBottom()) state |= STATE_SYSTEM_SELECTED;
    // The current row has the focus only while the table has the keyboard's.
    if (row == m.CurrentRow() && ::GetFocus() == grid.Handle()) state |= STATE_SYSTEM_FOCUSED;
    if (row < m.TopRow() || row >= m.TopRow() + grid.VisibleRowCount()) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

// accSelect on a row: the focus and the selection move as a click does
// (extending as a Shift click). The table selects one range: adding or
// removing single rows is not offered.
HRESULT SelectRowOf(StringGrid& grid, int row, long flags) {
    const GridModel& m = grid.Model();
    if (row < m.FixedRows() || row >= m.RowCount()) return E_INVALIDARG;
    if (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION)) return E_INVALIDARG;
    if (flags & SELFLAG_TAKESELECTION) {
        grid.ClickRow(row, false);
    } else if (flags & SELFLAG_EXTENDSELECTION) {
        grid.ClickRow(row, true);
    } else if (flags & SELFLAG_TAKEFOCUS) {
        // The current row is the one end of the selection: the focus alone
        // cannot move to another row.
        if (row != m.CurrentRow()) return E_INVALIDARG;
        ::SetFocus(grid.Handle());
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

// A list of child ids for a selection of several rows.
class ChildIdList : public IEnumVARIANT {
public:
    explicit ChildIdList(std::vector<long> ids, ULONG at = 0) : ids_(std::move(ids)), at_(at) {}
    virtual ~ChildIdList() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IEnumVARIANT)) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_INVALIDARG;
        ULONG n = 0;
        for (; n < count && at_ < ids_.size(); ++n, ++at_) {
            out[n] = ChildIdOf(ids_[at_]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        at_ = static_cast<ULONG>(std::min<std::size_t>(ids_.size(), std::size_t{at_} + count));
        return at_ < ids_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        at_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out) return E_INVALIDARG;
        *out = new (std::nothrow) ChildIdList(ids_, at_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<long> ids_;
    ULONG at_;
    LONG refs_ = 1;
};

// One row, bound to its process (or, without a key, to its number).
class RowAccessible : public AccessibleBase {
public:
    RowAccessible(HWND grid, RowBinding binding) : AccessibleBase(grid), binding_(binding) {}

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        StringGrid* grid = GridOf(Hwnd());
        if (!grid) return RPC_E_DISCONNECTED;
        const auto row = FindBoundRow(grid->Model(), binding_);
        // Gone from the table: this object never answers for another row.
        if (!row) return E_INVALIDARG;
        binding_.row = *row;
        return S_OK;
    }
    StringGrid& Grid() { return *GridOf(Hwnd()); }
    int Row() const { return binding_.row; }
    bool IsHeader() { return Row() < Grid().Model().FixedRows(); }

    long ChildCount() override { return Grid().Model().ColCount(); }
    HRESULT Parent(IDispatch** parent) override {
        return dyn::AccessibleObjectFromWindow()(Hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                                 reinterpret_cast<void**>(parent));
    }
    std::string Name(long id) override {
        if (id == kChildSelf) return RowName(Grid().Model(), Row());
        return Grid().Model().Cell(static_cast<int>(id - 1), Row());
    }
    std::string Description(long id) override {
        if (id == kChildSelf || IsHeader()) return {};
        return Grid().Model().Cell(static_cast<int>(id - 1), 0);
    }
    long Role(long id) override {
        if (id == kChildSelf) return ROLE_SYSTEM_ROW;
        return IsHeader() ? ROLE_SYSTEM_COLUMNHEADER : ROLE_SYSTEM_CELL;
    }
    long State(long id) override {
        const long row = RowState(Grid(), Row());
        if (id == kChildSelf) return row;
        return row & (STATE_SYSTEM_READONLY | STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_SELECTED);
    }
    std::optional<RECT> Location(long id) override {
        return ToScreen(Grid().CellRect(id == kChildSelf ? -1 : static_cast<int>(id - 1), Row()));
    }
    HRESULT Select(long flags, long) override { return SelectRowOf(Grid(), Row(), flags); }
    HRESULT Navigate(long direction, long start, VARIANT* out) override {
        const bool down = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN;
        const bool up = direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP;
        if (start != kChildSelf || (!down && !up)) return AccessibleBase::Navigate(direction, start, out);
        const int to = Row() + (down ? 1 : -1);
        if (to < 0 || to >= ReadableRowCount(Grid().Model())) return S_FALSE;
        auto* sibling = new RowAccessible(Hwnd(), BindRow(Grid().Model(), to));
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = sibling;
        return S_OK;
    }

private:
    RowBinding binding_;
};

// The grid's client area: the table.
class GridAccessible : public AccessibleBase {
public:
    explicit GridAccessible(HWND grid) : AccessibleBase(grid) {}

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        return GridOf(Hwnd()) ? S_OK : RPC_E_DISCONNECTED;
    }
    StringGrid& Grid() { return *GridOf(Hwnd()); }
    int RowOf(long id) { return static_cast<int>(id - 1); }

    long ChildCount() override { return ReadableRowCount(Grid().Model()); }
    HRESULT Child(long id, IDispatch** object) override {
        *object = new RowAccessible(Hwnd(), BindRow(Grid().Model(), RowOf(id)));
        return S_OK;
    }
    std::string Name(long id) override {
        if (id != kChildSelf) return RowName(Grid().Model(), RowOf(id));
        return Grid().accessibleName ? Grid().accessibleName() : std::string();
    }
    long Role(long id) override { return id == kChildSelf ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_ROW; }
    long State(long id) override {
        if (id != kChildSelf) return RowState(Grid(), RowOf(id));
        long state = STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == Hwnd()) state |= STATE_SYSTEM_FOCUSED;
        if (!::IsWindowVisible(Hwnd())) state |= STATE_SYSTEM_INVISIBLE;
        return state;
    }
    std::optional<RECT> Location(long id) override {
        if (id != kChildSelf) return ToScreen(Grid().CellRect(-1, RowOf(id)));
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        return ToScreen(client);
    }
    HRESULT Select(long flags, long id) override {
        if (id == kChildSelf) return E_INVALIDARG;
        return SelectRowOf(Grid(), RowOf(id), flags);
    }
    HRESULT Focus(VARIANT* out) override {
        if (::GetFocus() != Hwnd()) return S_FALSE;
        const int row = Grid().Model().CurrentRow();
        if (row >= ReadableRowCount(Grid().Model())) return S_FALSE;
        return ChildVariant(TableChildOfRow(row), out);
    }
    HRESULT Selection(VARIANT* out) override {
        const GridModel& m = Grid().Model();
        const int bottom = std::min(m.SelBottom(), ReadableRowCount(m) - 1);
        if (m.SelTop() > bottom) return S_FALSE;
        if (m.SelTop() == bottom) return ChildVariant(TableChildOfRow(m.SelTop()), out);
        std::vector<long> ids;
        for (int row = m.SelTop(); row <= bottom; ++row) ids.push_back(TableChildOfRow(row));
        V_VT(out) = VT_UNKNOWN;
        V_UNKNOWN(out) = new ChildIdList(std::move(ids));
        return S_OK;
    }
    HRESULT HitTest(POINT screen, VARIANT* out) override {
        POINT p = screen;
        ::ScreenToClient(Hwnd(), &p);
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        if (!::PtInRect(&client, p)) return S_FALSE;
        const int row = Grid().RowAtY(p.y);
        if (row >= ReadableRowCount(Grid().Model()) || Grid().ColumnAtX(p.x) < 0) {
            *out = ChildIdOf(kChildSelf);
            return S_OK;
        }
        return ChildVariant(TableChildOfRow(row), out);
    }
};

}  // namespace

IAccessible* StringGrid::NewAccessibleObject() { return new GridAccessible(hwnd_); }

}  // namespace zelvane
