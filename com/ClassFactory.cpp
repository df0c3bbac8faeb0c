// ClassFactory: makes ApplicationObjects; apartment threading, no aggregation.
#include "ClassFactory.h"

#include "ApplicationObject.h"
#include "ComObject.h"
#include "ServerState.h"

#include <new>

namespace quendra::com {

namespace {

class ClassFactory final : public ComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Answer(iid, object, {&IID_IClassFactory});
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IDispatch* application = CreateApplicationObject();
        if (!application) return E_OUTOFMEMORY;
        HRESULT code = application->QueryInterface(iid, object);
        application->Release();
        return code;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        com::LockServer(lock != FALSE);
        return S_OK;
    }
};

} // namespace

IClassFactory* CreateClassFactory() {
    return new (std::nothrow) ClassFactory();
}

} // namespace quendra::com
