// COM reference counting, written once for every COM object of the program.
// An object starts with one reference, its creator's, and deletes itself
// when the last one is released. Derived answers for its interfaces other
// than IUnknown, which is the first of them, in Interface(iid): the
// interface pointer, or null for an interface it does not have.
#pragma once

#include <windows.h>
#include <objbase.h>

template <typename Derived, typename First, typename... Rest>
class ComObject : public First, public Rest... {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = iid == IID_IUnknown ? static_cast<First*>(this)
                                   : static_cast<Derived*>(this)->Interface(iid);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

  private:
    LONG refs_ = 1;
};
