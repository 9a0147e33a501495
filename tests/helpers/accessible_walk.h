// The tests' one walker over Active Accessibility objects, as a screen reader
// reads them: nodes (an object, or a simple child of it), their texts, role
// and states, their children and a search by name. Shared by the in-process
// tests, the long run and the reader program (tests/helpers/a11y_reader.cpp).
// It calls only IAccessible itself: the program loads oleacc late, and the
// in-process tests check that nothing loads it early. A walker that reads
// children as a reader in another process does passes AccessibleChildren.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace zelvane::accwalk {

using Microsoft::WRL::ComPtr;

inline constexpr LONG kMostChildren = 10000;

// Takes over a reference that a call handed out. (MinGW's ComPtr::Attach
// adds a reference of its own, so the pointer is set in place.)
inline ComPtr<IAccessible> Own(IAccessible* object) {
    ComPtr<IAccessible> owned;
    *owned.GetAddressOf() = object;
    return owned;
}

// The IAccessible behind an IDispatch that a call handed out (released).
inline ComPtr<IAccessible> FromDispatch(IDispatch* dispatch) {
    if (!dispatch) return {};
    IAccessible* object = nullptr;
    dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
    dispatch->Release();
    return Own(object);
}

// A window's client object through `from` (AccessibleObjectFromWindow as the
// caller reaches it: the program's late-bound one in process, the system's in
// the reader program); null when the window gives none. The call's HRESULT
// goes to `hr` when asked for.
inline ComPtr<IAccessible> ClientObjectOf(HWND window, decltype(&::AccessibleObjectFromWindow) from,
                                          HRESULT* hr = nullptr) {
    IAccessible* object = nullptr;
    const HRESULT result =
        from(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (hr) *hr = result;
    return Own(SUCCEEDED(result) ? object : nullptr);
}

inline VARIANT ChildId(LONG id) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// An object, or a simple element (a child id) of it; `path` is its place in
// a walk ("." for where the walk began, then child positions "2.0.5").
struct Node {
    ComPtr<IAccessible> object;
    LONG child = CHILDID_SELF;
    std::string path = ".";
    explicit operator bool() const { return object != nullptr; }
};

// A text property as UTF-16; the HRESULT goes to `hr` when asked for.
template <typename Getter>
std::wstring TextOf(const Node& n, Getter get, HRESULT* hr = nullptr) {
    BSTR text = nullptr;
    const HRESULT result = (n.object.Get()->*get)(ChildId(n.child), &text);
    if (hr) *hr = result;
    std::wstring out = SUCCEEDED(result) && text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return out;
}
inline std::wstring NameOf(const Node& n, HRESULT* hr = nullptr) { return TextOf(n, &IAccessible::get_accName, hr); }

// A number property (role, states); -1 when the object gives none.
inline long NumberOf(const Node& n, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT v;
    ::VariantInit(&v);
    const bool ok = (n.object.Get()->*get)(ChildId(n.child), &v) == S_OK && v.vt == VT_I4;
    const long out = ok ? v.lVal : -1;
    ::VariantClear(&v);
    return out;
}
inline long RoleOf(const Node& n) { return NumberOf(n, &IAccessible::get_accRole); }
inline long StateOf(const Node& n) { return NumberOf(n, &IAccessible::get_accState); }

// How a walk lists an object's children: get_accChild for every id by
// default; a reader in another process passes AccessibleChildren.
using ListChildren = HRESULT(STDAPICALLTYPE*)(IAccessible*, LONG, LONG, VARIANT*, LONG*);

// The children of a node, in order; `asSeen` may replace a child object by
// the one a reader shows for it (a window's object by its client object).
template <typename AsSeen>
std::vector<Node> ChildrenOf(const Node& n, ListChildren list, AsSeen asSeen) {
    std::vector<Node> out;
    LONG count = 0;
    if (n.child != CHILDID_SELF || FAILED(n.object->get_accChildCount(&count)) || count <= 0) return out;
    count = std::min(count, kMostChildren);
    std::vector<VARIANT> kids(static_cast<std::size_t>(count));
    LONG got = 0;
    if (list) {
        if (FAILED(list(n.object.Get(), 0, count, kids.data(), &got))) return out;
    } else {
        for (LONG id = 1; id <= count; ++id, ++got) {
            IDispatch* dispatch = nullptr;
            if (n.object->get_accChild(ChildId(id), &dispatch) == S_OK && dispatch) {
                kids[got].vt = VT_DISPATCH;
                kids[got].pdispVal = dispatch;
            } else {
                kids[got] = ChildId(id);
            }
        }
    }
    for (LONG i = 0; i < got; ++i) {
        Node kid;
        kid.path = (n.path == "." ? "" : n.path + ".") + std::to_string(i);
        if (kids[i].vt == VT_DISPATCH && kids[i].pdispVal) {
            kids[i].pdispVal->AddRef();
            kid.object = asSeen(FromDispatch(kids[i].pdispVal));
        } else if (kids[i].vt == VT_I4) {
            kid.object = n.object;
            kid.child = kids[i].lVal;
        }
        ::VariantClear(&kids[i]);
        if (kid.object) out.push_back(kid);
    }
    return out;
}
inline std::vector<Node> ChildrenOf(const Node& n) {
    return ChildrenOf(n, nullptr, [](ComPtr<IAccessible> o) { return o; });
}

// Walks depth first down to `most` levels below `n`; `visit` returns false
// to stop. Returns false when stopped.
template <typename Visit, typename Children>
bool Walk(const Node& n, int depth, int most, Visit& visit, Children& children) {
    if (!visit(n)) return false;
    if (depth >= most) return true;
    for (const Node& kid : children(n)) {
        if (!Walk(kid, depth + 1, most, visit, children)) return false;
    }
    return true;
}

// The first node (depth first, `root` included) named `name`.
template <typename Children>
std::optional<Node> FindNamed(const Node& root, const std::wstring& name, Children& children, int most = 16) {
    std::optional<Node> found;
    auto match = [&](const Node& n) {
        if (NameOf(n) == name) found = n;
        return !found;
    };
    Walk(root, 0, most, match, children);
    return found;
}
inline std::optional<Node> FindNamed(const Node& root, const std::wstring& name) {
    auto children = [](const Node& n) { return ChildrenOf(n); };
    return FindNamed(root, name, children);
}

}  // namespace zelvane::accwalk
