#pragma once

#include <unknwn.h>
#include <windows.h>

// The reference count and interface look-up of the window's small COM objects, which Windows
// calls on the window's thread only. Interface is the one the object implements; Bases are the
// interfaces it derives from besides IUnknown. The object starts with the one reference its
// creator holds.
template <typename Interface, typename... Bases>
class ComObject : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id != __uuidof(IUnknown) && id != __uuidof(Interface) &&
            ((id != __uuidof(Bases)) && ...)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;

  private:
    ULONG references_ = 1;
};
