#include "gui/Accessible.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/AccessibleModel.h"
#include "base/Text.h"
#include "sys/DynCalls.h"

namespace zelvane {

namespace {

// The objects alive on the GUI thread, for disconnection and counting.
std::vector<AccessibleBase*>& LiveObjects() {
    static std::vector<AccessibleBase*> objects;
    return objects;
}

void SetEmpty(VARIANT* v) {
    V_VT(v) = VT_EMPTY;
}

void SetChildId(VARIANT* v, long id) {
    V_VT(v) = VT_I4;
    V_I4(v) = id;
}

}  // namespace

VARIANT ChildIdOf(long id) {
    VARIANT v;
    SetChildId(&v, id);
    return v;
}

std::string TakeBstr(BSTR text) {
    std::string s = FromBstr(text);
    FreeBstr(text);
    return s;
}

namespace {
bool started = false;
}  // namespace

bool AccessibilityStarted() { return started; }

bool StartAccessibility() {
    if (started) return true;
    if (!dyn::LresultFromObject() || !dyn::CoInitializeEx() || !dyn::SysAllocStringLen()) return false;
    // An apartment for the objects' calls from other processes; one that
    // was started before (a dialog of the system's) serves as well.
    const HRESULT hr = dyn::CoInitializeEx()(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) return false;
    started = true;
    return true;
}

LRESULT AnswerWithObject(IAccessible* object, WPARAM wp) {
    const LRESULT result = dyn::LresultFromObject()(__uuidof(IAccessible), wp, object);
    object->Release();
    return result;
}

void NotifyAccessibleEvent(DWORD event, HWND hwnd, LONG objectId, LONG childId) {
    if (const auto notify = dyn::NotifyWinEvent()) notify(event, hwnd, objectId, childId);
}

void DisconnectAccessibleObjects(HWND hwnd) {
    auto& live = LiveObjects();
    if (live.empty()) return;
    std::vector<AccessibleBase*> gone;
    for (AccessibleBase* object : live) {
        if (object->Hwnd() == hwnd) gone.push_back(object);
    }
    // Held while the system drops its references to them.
    for (AccessibleBase* object : gone) object->AddRef();
    for (AccessibleBase* object : gone) {
        object->Disconnect();
        object->Release();
    }
}

int LiveAccessibleObjects() { return static_cast<int>(LiveObjects().size()); }

BSTR MakeBstr(const std::string& text) {
    if (text.empty()) return nullptr;
    const std::wstring wide = Widen(text);
    return dyn::SysAllocStringLen()(wide.data(), static_cast<UINT>(wide.size()));
}

void FreeBstr(BSTR text) {
    if (text) dyn::SysFreeString()(text);
}

void ClearVariant(VARIANT* v) {
    if (const auto clear = dyn::VariantClear()) clear(v);
}

std::string FromBstr(BSTR text) { return text ? Narrow(std::wstring_view(text, ::wcslen(text))) : std::string(); }

// ---- AccessibleBase -------------------------------------------------------------

AccessibleBase::AccessibleBase(HWND hwnd) : hwnd_(hwnd) { LiveObjects().push_back(this); }

AccessibleBase::~AccessibleBase() {
    auto& live = LiveObjects();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void AccessibleBase::Disconnect() {
    if (disconnected_) return;
    disconnected_ = true;
    if (const auto disconnect = dyn::CoDisconnectObject()) disconnect(static_cast<IUnknown*>(this), 0);
}

HRESULT AccessibleBase::Check() { return disconnected_ || !::IsWindow(hwnd_) ? RPC_E_DISCONNECTED : S_OK; }

STDMETHODIMP AccessibleBase::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) AccessibleBase::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) AccessibleBase::Release() {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP AccessibleBase::GetTypeInfoCount(UINT* count) {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

STDMETHODIMP AccessibleBase::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP AccessibleBase::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP AccessibleBase::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

template <typename Fn>
HRESULT AccessibleBase::Guarded(Fn&& fn) {
    try {
        const HRESULT alive = Check();
        if (FAILED(alive)) return alive;
        return fn();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT AccessibleBase::ChildArg(const VARIANT& child, long* id) {
    if (V_VT(&child) != VT_I4) return E_INVALIDARG;
    *id = V_I4(&child);
    if (*id != kChildSelf && (*id < 1 || *id > ChildCount())) return E_INVALIDARG;
    return S_OK;
}

HRESULT AccessibleBase::ChildVariant(long id, VARIANT* out) {
    IDispatch* object = nullptr;
    if (id != kChildSelf && Child(id, &object) == S_OK && object) {
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = object;
    } else {
        SetChildId(out, id);
    }
    return S_OK;
}

RECT AccessibleBase::ToScreen(RECT client) const {
    ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

HRESULT AccessibleBase::Child(long, IDispatch** object) {
    *object = nullptr;
    return S_FALSE;
}

HRESULT AccessibleBase::Parent(IDispatch** parent) {
    return dyn::AccessibleObjectFromWindow()(hwnd_, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                             reinterpret_cast<void**>(parent));
}

HRESULT AccessibleBase::Focus(VARIANT* out) {
    SetEmpty(out);
    return S_FALSE;
}

HRESULT AccessibleBase::Selection(VARIANT* out) {
    SetEmpty(out);
    return S_FALSE;
}

HRESULT AccessibleBase::HitTest(POINT screen, VARIANT* out) {
    const long count = ChildCount();
    for (long id = 1; id <= count; ++id) {
        const auto r = Location(id);
        if (r && ::PtInRect(&*r, screen)) return ChildVariant(id, out);
    }
    const auto self = Location(kChildSelf);
    if (self && ::PtInRect(&*self, screen)) {
        SetChildId(out, kChildSelf);
        return S_OK;
    }
    SetEmpty(out);
    return S_FALSE;
}

HRESULT AccessibleBase::Navigate(long direction, long start, VARIANT* out) {
    const long count = ChildCount();
    long to = 0;
    if (start == kChildSelf) {
        if (direction == NAVDIR_FIRSTCHILD) to = 1;
        if (direction == NAVDIR_LASTCHILD) to = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT) {
        to = start + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT) {
        to = start - 1;
    }
    if (to < 1 || to > count) {
        SetEmpty(out);
        return S_FALSE;
    }
    return ChildVariant(to, out);
}

// ---- IAccessible: the checks, then the virtual answer -------------------------

STDMETHODIMP AccessibleBase::get_accParent(IDispatch** parent) {
    if (!parent) return E_INVALIDARG;
    *parent = nullptr;
    return Guarded([&] { return Parent(parent); });
}

STDMETHODIMP AccessibleBase::get_accChildCount(LONG* count) {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return Guarded([&] {
        *count = ChildCount();
        return S_OK;
    });
}

STDMETHODIMP AccessibleBase::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        if (id == kChildSelf) {
            AddRef();
            *object = this;
            return S_OK;
        }
        return Child(id, object);
    });
}

HRESULT AccessibleBase::AnswerText(const VARIANT& child, BSTR* out, std::string (AccessibleBase::*get)(long)) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        const std::string text = (this->*get)(id);
        if (text.empty()) return S_FALSE;
        *out = MakeBstr(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP AccessibleBase::get_accName(VARIANT child, BSTR* name) {
    return AnswerText(child, name, &AccessibleBase::Name);
}

STDMETHODIMP AccessibleBase::get_accValue(VARIANT child, BSTR* value) {
    return AnswerText(child, value, &AccessibleBase::Value);
}

STDMETHODIMP AccessibleBase::get_accDescription(VARIANT child, BSTR* description) {
    return AnswerText(child, description, &AccessibleBase::Description);
}

STDMETHODIMP AccessibleBase::get_accDefaultAction(VARIANT child, BSTR* action) {
    return AnswerText(child, action, &AccessibleBase::DefaultAction);
}

STDMETHODIMP AccessibleBase::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_INVALIDARG;
    SetEmpty(role);
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        SetChildId(role, Role(id));
        return S_OK;
    });
}

STDMETHODIMP AccessibleBase::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_INVALIDARG;
    SetEmpty(state);
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        SetChildId(state, State(id));
        return S_OK;
    });
}

STDMETHODIMP AccessibleBase::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_INVALIDARG;
    *help = nullptr;
    return Guarded([&] {
        long id = 0;
        const HRESULT hr = ChildArg(child, &id);
        return FAILED(hr) ? hr : S_FALSE;
    });
}

STDMETHODIMP AccessibleBase::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = -1;
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP AccessibleBase::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_INVALIDARG;
    *shortcut = nullptr;
    return Guarded([&] {
        long id = 0;
        const HRESULT hr = ChildArg(child, &id);
        return FAILED(hr) ? hr : S_FALSE;
    });
}

STDMETHODIMP AccessibleBase::get_accFocus(VARIANT* child) {
    if (!child) return E_INVALIDARG;
    SetEmpty(child);
    return Guarded([&] { return Focus(child); });
}

STDMETHODIMP AccessibleBase::get_accSelection(VARIANT* children) {
    if (!children) return E_INVALIDARG;
    SetEmpty(children);
    return Guarded([&] { return Selection(children); });
}

STDMETHODIMP AccessibleBase::accSelect(LONG flags, VARIANT child) {
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        return Select(flags, id);
    });
}

STDMETHODIMP AccessibleBase::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_INVALIDARG;
    *left = *top = *width = *height = 0;
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        const auto r = Location(id);
        if (!r) return S_FALSE;
        *left = r->left;
        *top = r->top;
        *width = r->right - r->left;
        *height = r->bottom - r->top;
        return S_OK;
    });
}

STDMETHODIMP AccessibleBase::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (!end) return E_INVALIDARG;
    SetEmpty(end);
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(start, &id); FAILED(hr)) return hr;
        if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD) return E_INVALIDARG;
        return Navigate(direction, id, end);
    });
}

STDMETHODIMP AccessibleBase::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (!child) return E_INVALIDARG;
    SetEmpty(child);
    return Guarded([&] { return HitTest(POINT{x, y}, child); });
}

STDMETHODIMP AccessibleBase::accDoDefaultAction(VARIANT child) {
    return Guarded([&] {
        long id = 0;
        if (const HRESULT hr = ChildArg(child, &id); FAILED(hr)) return hr;
        return DoDefaultAction(id);
    });
}

STDMETHODIMP AccessibleBase::put_accName(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }

STDMETHODIMP AccessibleBase::put_accValue(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }

}  // namespace zelvane
