// ClassFactory: makes ApplicationObjects; apartment threading, no aggregation.
#include "ClassFactory.h"

#include "ApplicationObject.h"
#include "ServerState.h"

#include <atomic>
#include <new>

namespace quendra::com {

namespace {

class ClassFactory final : public IClassFactory {
public:
    ClassFactory() { ObjectCreated(); }
    ~ClassFactory() { ObjectDestroyed(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
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

private:
    std::atomic<ULONG> references_{1};
};

} // namespace

IClassFactory* CreateClassFactory() {
    return new (std::nothrow) ClassFactory();
}

} // namespace quendra::com
