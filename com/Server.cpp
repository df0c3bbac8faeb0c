// quendra.dll: the four entry points of the in-process server and its object counts.
// SPDX-License-Identifier: Apache-2.0
#include "ApplicationObject.h"
#include "ClassFactory.h"
#include "ComObject.h"
#include "EmbeddedPlatformObject.h"
#include "Registration.h"
#include "ServerState.h"

namespace quendra::com {

namespace {

HMODULE module = nullptr;

} // namespace

HMODULE ServerModule() {
    return module;
}

void SetServerModule(HMODULE loaded) {
    module = loaded;
}

namespace {

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    IDispatch* (*create)() = nullptr;
    if (IsEqualCLSID(clsid, ClsidApplication)) create = CreateApplicationObject;
    if (IsEqualCLSID(clsid, ClsidPlatform)) create = CreateEmbeddedPlatformObject;
    if (!create) return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = CreateClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT code = factory->QueryInterface(iid, object);
    factory->Release();
    return code;
}

} // namespace

} // namespace quendra::com

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        quendra::com::SetServerModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return quendra::com::Guarded([&] { return quendra::com::GetClassObject(clsid, iid, object); });
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return quendra::com::CanUnload() ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    return quendra::com::Guarded(quendra::com::RegisterServer);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return quendra::com::Guarded(quendra::com::UnregisterServer);
}

} // extern "C"
