// The COM side of the program's screen-reader support (Active Accessibility).
//
// Nothing of it exists until a reader first sends WM_GETOBJECT: then COM is
// started on the GUI thread and oleacc, ole32 and oleaut32 are loaded from
// the system folder (sys/DynCalls). Each object keeps only the handle of its
// window and looks the window up at every call; when the window is destroyed
// its objects are disconnected, and a reader that still holds one gets
// RPC_E_DISCONNECTED. Child ids, names and events are decided by the
// platform-free base/AccessibleModel.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <new>
#include <optional>
#include <string>

namespace zelvane {

// Starts COM on this thread and loads the libraries; false when the system
// cannot serve readers (no oleacc). Called at the first WM_GETOBJECT.
bool StartAccessibility();
// Whether a reader has asked for an object already (StartAccessibility
// succeeded): before that nothing is loaded for readers.
bool AccessibilityStarted();

// Hands `object` to the reader that sent WM_GETOBJECT (wParam `wp`) and drops
// the caller's reference.
LRESULT AnswerWithObject(IAccessible* object, WPARAM wp);

// The answer to WM_GETOBJECT (`wp`, `lp`) for a client area whose object
// `make` creates: nothing for an object id other than OBJID_CLIENT (the
// system's default answers), when the system cannot serve readers, or when
// `make` gives none.
template <typename Make>
std::optional<LRESULT> AnswerClientObject(WPARAM wp, LPARAM lp, Make make) {
    // The object id travels in the low 32 bits, signed: OBJID_CLIENT is -4.
    if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT || !StartAccessibility()) return std::nullopt;
    IAccessible* object = nullptr;
    try {
        object = make();
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!object) return std::nullopt;
    return AnswerWithObject(object, wp);
}

// Tells listening readers about an event (nothing on systems without
// NotifyWinEvent).
void NotifyAccessibleEvent(DWORD event, HWND hwnd, LONG objectId, LONG childId);

// Disconnects every object of `hwnd`: the window is going away.
void DisconnectAccessibleObjects(HWND hwnd);

// How many accessible objects are alive (the long run proves that readers
// leave none behind).
int LiveAccessibleObjects();

// The default action of whatever reacts to a click.
inline constexpr char kPressAction[] = "Нажать";

// A child id as the VARIANT the calls take (CHILDID_SELF: the object itself).
VARIANT ChildIdOf(long id);

// A UTF-8 text as a BSTR for a reader (null when the text is empty or there
// is no memory).
BSTR MakeBstr(const std::string& text);
// A BSTR as UTF-8.
std::string FromBstr(BSTR text);
// Frees a BSTR / the contents of a VARIANT that a system object handed out.
void FreeBstr(BSTR text);
// A BSTR that a system object handed out, as UTF-8; freed.
std::string TakeBstr(BSTR text);
void ClearVariant(VARIANT* v);

// The base of every accessible object: reference counting, IDispatch
// (late binding is not offered), argument checks and the window check before
// each call, exceptions turned into error codes. An object answers for itself
// (child id 0) and for its simple children (ids 1 ... ChildCount()); a child
// that is an object of its own is handed out by Child().
class AccessibleBase : public IAccessible {
public:
    AccessibleBase(const AccessibleBase&) = delete;
    AccessibleBase& operator=(const AccessibleBase&) = delete;

    HWND Hwnd() const { return hwnd_; }
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;
    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(LONG* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override;
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

protected:
    explicit AccessibleBase(HWND hwnd);
    virtual ~AccessibleBase();

    // S_OK while what the object stands for is there. The base checks the
    // window: RPC_E_DISCONNECTED once it is gone.
    virtual HRESULT Check();
    virtual long ChildCount() = 0;
    // A child that is an object of its own; S_FALSE (and null) for a simple one.
    virtual HRESULT Child(long id, IDispatch** object);
    // The window's own object by default.
    virtual HRESULT Parent(IDispatch** parent);
    virtual std::string Name(long id) = 0;
    virtual std::string Value(long id) { (void)id; return {}; }
    virtual std::string Description(long id) { (void)id; return {}; }
    virtual long Role(long id) = 0;
    virtual long State(long id) = 0;
    // On the screen; nothing for what has no place there.
    virtual std::optional<RECT> Location(long id) = 0;
    virtual std::string DefaultAction(long id) { (void)id; return {}; }
    virtual HRESULT DoDefaultAction(long id) { (void)id; return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Select(long flags, long id) { (void)flags; (void)id; return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT Focus(VARIANT* out);
    virtual HRESULT Selection(VARIANT* out);
    // The child at a screen point: by the children's locations by default.
    virtual HRESULT HitTest(POINT screen, VARIANT* out);
    // First and last child from the object itself, next and previous from a
    // child; nothing beyond the ends.
    virtual HRESULT Navigate(long direction, long start, VARIANT* out);

    // A child id as a VARIANT: the child's own object when it has one.
    HRESULT ChildVariant(long id, VARIANT* out);
    // The rectangle `client` of the object's window on the screen.
    RECT ToScreen(RECT client) const;

private:
    // The child id of `child` after the checks (type, range, target).
    HRESULT ChildArg(const VARIANT& child, long* id);
    template <typename Fn>
    HRESULT Guarded(Fn&& fn);
    HRESULT AnswerText(const VARIANT& child, BSTR* out, std::string (AccessibleBase::*get)(long));

    HWND hwnd_;
    LONG refs_ = 1;
    bool disconnected_ = false;
};

}  // namespace zelvane
