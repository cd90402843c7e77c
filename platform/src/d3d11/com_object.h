// The reference-counted base of every COM object of the layer.
#pragma once
#include <atomic>
#include "unknwn.h"

namespace platform {

// Interface is the most derived interface; Bases lists the interfaces it derives from, so that
// QueryInterface answers for each of them with the same pointer.
template <class Interface, class... Bases>
class ComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!Answers(iid)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    ULONG RefCount() const { return refs_; }

protected:
    ComObject() = default;
    ~ComObject() override = default;

private:
    static bool Answers(REFIID iid) {
        return iid == __uuidof(Interface) || ((iid == __uuidof(Bases)) || ...) || iid == __uuidof(IUnknown);
    }
    std::atomic<ULONG> refs_{1};
};

// Replaces a held reference, keeping the new one alive first (the same object may be passed again).
template <class T>
void Hold(T*& slot, T* value) {
    if (value) value->AddRef();
    if (slot) slot->Release();
    slot = value;
}

}  // namespace platform
