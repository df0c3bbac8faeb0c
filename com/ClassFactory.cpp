// ClassFactory: makes the server's creatable objects; apartment threading, no aggregation.
// SPDX-License-Identifier: Apache-2.0
#include "ClassFactory.h"

#include "ComObject.h"
#include "ServerState.h"

#include <new>

namespace quendra::com {

namespace {

class ClassFactory final : public ComObject<IClassFactory> {
public:
    explicit ClassFactory(IDispatch* (*create)()) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Answer(iid, object, {&IID_IClassFactory});
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return Guarded([&] {
            IDispatch* created = create_();
            if (!created) return E_OUTOFMEMORY;
            HRESULT code = created->QueryInterface(iid, object);
            created->Release();
            return code;
        });
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        com::LockServer(lock != FALSE);
        return S_OK;
    }

private:
    IDispatch* (*create_)();
};

} // namespace

IClassFactory* CreateClassFactory(IDispatch* (*create)()) {
    return new (std::nothrow) ClassFactory(create);
}

} // namespace quendra::com
