// quendra.dll: the four entry points of the in-process server and its object counts.
// SPDX-License-Identifier: Apache-2.0
#include "ApplicationObject.h"
#include "ClassFactory.h"
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
    IDispatch* (*create)() = nullptr;
    if (IsEqualCLSID(clsid, quendra::com::ClsidApplication)) create = quendra::com::CreateApplicationObject;
    if (IsEqualCLSID(clsid, quendra::com::ClsidPlatform)) create = quendra::com::CreateEmbeddedPlatformObject;
    if (!create) return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = quendra::com::CreateClassFactory(create);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT code = factory->QueryInterface(iid, object);
    factory->Release();
    return code;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return quendra::com::CanUnload() ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    return quendra::com::RegisterServer();
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return quendra::com::UnregisterServer();
}

} // extern "C"
