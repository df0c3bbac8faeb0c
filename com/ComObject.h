// ComObject: what the server's own COM objects share: reference counts, counting as a live object of
// the server, and answering QueryInterface for their interfaces.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ServerState.h"

#include <windows.h>

#include <unknwn.h>

#include <atomic>
#include <initializer_list>
#include <new>

namespace quendra::com {

template <typename Interface> class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() { ObjectCreated(); }
    virtual ~ComObject() { ObjectDestroyed(); }

    // QueryInterface for IUnknown and `interfaces`, all of them answered by this object as `Interface`.
    HRESULT Answer(REFIID iid, void** object, std::initializer_list<const IID*> interfaces) {
        if (!object) return E_POINTER;
        bool known = IsEqualIID(iid, IID_IUnknown);
        for (const IID* id : interfaces) known = known || IsEqualIID(iid, *id);
        if (!known) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
};

// Runs the body of a COM method or a DLL export. No C++ exception may leave a frame that Windows or a
// script host called (the process would end), so a failure that reaches here becomes an HRESULT.
template <typename Body> HRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace quendra::com
