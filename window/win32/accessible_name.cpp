#include "accessible_name.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

#include "com_object.h"
#include "dpi.h"

namespace win32 {

namespace {

using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

struct Naming {
    std::wstring name;
    LONG role;
};

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object with another name and role; reference counted as COM says, it holds the
// standard object until its own last reference goes.
class NamedAccessible final : public ComObject<IAccessible, IDispatch> {
  public:
    NamedAccessible(IAccessible* standard, const Naming& naming)
        : standard_(standard), naming_(naming) {}
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        *name = SysAllocStringLen(naming_.name.data(), static_cast<UINT>(naming_.name.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = naming_.role;
        return S_OK;
    }

#define FORWARD(method, parameters, arguments)             \
    HRESULT STDMETHODCALLTYPE method parameters override { \
        return standard_->method arguments;                \
    }
    FORWARD(GetTypeInfoCount, (UINT * count), (count))
    FORWARD(GetTypeInfo, (UINT index, LCID locale, ITypeInfo** info), (index, locale, info))
    FORWARD(GetIDsOfNames, (REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids),
            (id, names, count, locale, ids))
    FORWARD(Invoke,
            (DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
             VARIANT* result, EXCEPINFO* exception, UINT* error),
            (member, id, locale, flags, parameters, result, exception, error))
    FORWARD(get_accParent, (IDispatch * *parent), (parent))
    FORWARD(get_accChildCount, (long* count), (count))
    FORWARD(get_accChild, (VARIANT child, IDispatch** object), (child, object))
    FORWARD(get_accValue, (VARIANT child, BSTR* value), (child, value))
    FORWARD(get_accDescription, (VARIANT child, BSTR* text), (child, text))
    FORWARD(get_accState, (VARIANT child, VARIANT* state), (child, state))
    FORWARD(get_accHelp, (VARIANT child, BSTR* text), (child, text))
    FORWARD(get_accHelpTopic, (BSTR * file, VARIANT child, long* topic), (file, child, topic))
    FORWARD(get_accKeyboardShortcut, (VARIANT child, BSTR* keys), (child, keys))
    FORWARD(get_accFocus, (VARIANT * child), (child))
    FORWARD(get_accSelection, (VARIANT * children), (children))
    FORWARD(get_accDefaultAction, (VARIANT child, BSTR* action), (child, action))
    FORWARD(accSelect, (long flags, VARIANT child), (flags, child))
    FORWARD(accLocation, (long* left, long* top, long* width, long* height, VARIANT child),
            (left, top, width, height, child))
    FORWARD(accNavigate, (long direction, VARIANT start, VARIANT* end), (direction, start, end))
    FORWARD(accHitTest, (long left, long top, VARIANT* child), (left, top, child))
    FORWARD(accDoDefaultAction, (VARIANT child), (child))
    FORWARD(put_accName, (VARIANT child, BSTR name), (child, name))
    FORWARD(put_accValue, (VARIANT child, BSTR value), (child, value))
#undef FORWARD

  private:
    ~NamedAccessible() override {
        standard_->Release();
    }

    IAccessible* standard_;
    Naming naming_;
};

LRESULT ClientObject(HWND control, WPARAM flags, const Naming& naming) {
    static const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    static const auto createStandard =
        Lookup<CreateStdAccessibleObjectFunction>(oleacc, "CreateStdAccessibleObject");
    static const auto fromObject = Lookup<LresultFromObjectFunction>(oleacc, "LresultFromObject");
    IAccessible* standard = nullptr;
    if (!createStandard || !fromObject ||
        FAILED(createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(&standard)))) {
        return 0;  // the default answer: Windows makes the standard object itself
    }
    auto* named = new NamedAccessible(standard, naming);
    // LresultFromObject takes a reference of its own for the requester.
    const LRESULT result = fromObject(__uuidof(IAccessible), flags, named);
    named->Release();
    return result;
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR subclassId, DWORD_PTR data) {
    auto* naming = reinterpret_cast<Naming*>(data);
    // The object id comes as a DWORD, not sign-extended to 64 bits.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT result = ClientObject(control, wParam, *naming)) return result;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, NamedControlProc, subclassId);
        delete naming;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void NameForScreenReaders(HWND control, std::wstring name, LONG role) {
    auto* naming = new Naming{std::move(name), role};
    if (!SetWindowSubclass(control, NamedControlProc, 0, reinterpret_cast<DWORD_PTR>(naming))) {
        delete naming;
    }
}

}  // namespace win32
