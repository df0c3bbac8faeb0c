// The server seen from a COM client under Wine: its exports, class factory, reference counts and
// DllCanUnloadNow, the type library's method table, how results and failures come back, and its exports when
// memory runs out.
// Usage: test_com_server <path of quendra.dll>. Prints each failed check and "N passed, N failed".
// The component's hook table comes before the Windows headers, whose macros would rename its members.
// SPDX-License-Identifier: Apache-2.0
#include "HookTable.h"

// <windows.h> comes first of the Windows headers: the others build on it.
#include <windows.h>

#include <oaidl.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

void Check(bool condition, const char* what) {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED: %s\n", what);
    }
}

const CLSID ClsidApplication = {0xCAA60299, 0x1FFF, 0x497F, {0x82, 0xB2, 0x87, 0xE1, 0x41, 0x6F, 0xD8, 0x9D}};

// A name of the component's hook table as the type library and the dispatch show it.
std::wstring Wide(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

// What a hook takes: the session, then its parameters.
UINT ArgumentCount(const quendra::Hook& hook) {
    return static_cast<UINT>(hook.Parameters().size() + 1);
}

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using Export = HRESULT(STDAPICALLTYPE*)();

// The server's export of that name, through void (*)(), the type that any function pointer may be cast to and from.
template <class Function> Function Exported(HMODULE server, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(server, name)));
}

// Points the module's import of that function of msvcrt.dll at another; answers the one it replaced, or nothing
// when the module does not import it.
void* ReplaceImport(HMODULE module, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + entry.VirtualAddress); import->Name;
         ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "msvcrt.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            auto* replaced = reinterpret_cast<void*>(addresses->u1.Function);
            addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&addresses->u1.Function, sizeof(void*), protection, &protection);
            return replaced;
        }
    }
    return nullptr;
}

// The server's malloc while it is replaced: the next allocation fails, later ones are the real malloc's (the
// runtime allocates while it throws).
using Malloc = void*(__cdecl*)(size_t);
Malloc realMalloc = nullptr;
bool failNext = false;
void* __cdecl FailingOnce(size_t size) {
    if (!failNext) return realMalloc(size);
    failNext = false;
    return nullptr;
}

// An export whose allocation fails (a std::bad_alloc thrown inside it, or an allocation that answered nothing)
// answers E_OUTOFMEMORY and the process goes on; so does the server, with memory back.
void CheckExportsWithoutMemory(HMODULE server) {
    auto registerServer = Exported<Export>(server, "DllRegisterServer");
    auto getClassObject = Exported<GetClassObject>(server, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    // The first allocation inside each export fails: its operator new throws std::bad_alloc there.
    realMalloc = reinterpret_cast<Malloc>(ReplaceImport(server, "malloc", reinterpret_cast<void*>(&FailingOnce)));
    Check(realMalloc != nullptr, "the server takes its memory from msvcrt's malloc");
    if (!realMalloc) return;
    failNext = true;
    const HRESULT registered = registerServer();
    failNext = true;
    const HRESULT factoryMade = getClassObject(ClsidApplication, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    ReplaceImport(server, "malloc", reinterpret_cast<void*>(realMalloc));
    Check(registered == E_OUTOFMEMORY, "DllRegisterServer without memory answers E_OUTOFMEMORY");
    if (registered == S_OK) Exported<Export>(server, "DllUnregisterServer")(); // the others register it
    Check(factoryMade == E_OUTOFMEMORY && !factory, "DllGetClassObject without memory answers E_OUTOFMEMORY");
    factory = nullptr;
    Check(getClassObject(ClsidApplication, IID_IClassFactory, reinterpret_cast<void**>(&factory)) == S_OK && factory,
          "with memory back the class factory is available");
    if (factory) factory->Release();
}

// The names the module exports, read from its export directory.
std::wstring ExportedNames(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::wstring all;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        for (const char* c = reinterpret_cast<const char*>(base + names[i]); *c; ++c) all += static_cast<wchar_t>(*c);
        all += L' ';
    }
    return all;
}

HRESULT CallHook(IDispatch* application, DISPID id, VARIANT* arguments, UINT count, VARIANT& result,
                 EXCEPINFO& exception, UINT& argumentError) {
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    VariantInit(&result);
    exception = EXCEPINFO{};
    argumentError = 0;
    return application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, &exception,
                               &argumentError);
}

// A platform object whose members are handlers by name; it lives as long as the test.
class FakeObject final : public IDispatch {
public:
    using Handler = std::function<void(DISPPARAMS& arguments, VARIANT& result)>;

    void On(const std::wstring& name, Handler handler) {
        ids_[name] = static_cast<DISPID>(handlers_.size() + 1);
        handlers_.push_back(std::move(handler));
    }
    // A member answering another object, or a 32-bit integer.
    void Answers(const std::wstring& name, IDispatch* object) {
        On(name, [object](DISPPARAMS&, VARIANT& result) {
            result.vt = VT_DISPATCH;
            result.pdispVal = object;
            object->AddRef();
        });
    }
    void AnswersNumber(const std::wstring& name, LONG number) {
        On(name, [number](DISPPARAMS&, VARIANT& result) {
            result.vt = VT_I4;
            result.lVal = number;
        });
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        auto found = ids_.find(names[0]);
        if (found == ids_.end()) return DISP_E_UNKNOWNNAME;
        ids[0] = found->second;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* arguments, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        VARIANT ignored;
        VariantInit(&ignored);
        handlers_.at(static_cast<size_t>(id - 1))(*arguments, result ? *result : ignored);
        return S_OK;
    }

    ULONG References() const { return references_; }

private:
    std::map<std::wstring, DISPID> ids_;
    std::vector<Handler> handlers_;
    ULONG references_ = 0;
};

// CopyTreeFrom without a part to copy from: the user picks one in the platform's search, whose
// query dialog answers through an argument by reference, and the picked part comes back in the
// script's variable. The picked part has no tree below it, so the copy succeeds with no link.
void CheckObjectHandedBack(IDispatch* application) {
    FakeObject session, metaInfo, parts, documents, partClass, target, source, data, user, links, gui, view, dialog,
        selection, contents, store;
    session.Answers(L"MetaInfo", &metaInfo);
    session.Answers(L"CurrentUser", &user);
    session.Answers(L"ObjectStore", &store);
    std::wstring createdProgId;
    session.On(L"CreateObject", [&](DISPPARAMS& arguments, VARIANT& result) {
        createdProgId = arguments.rgvarg[0].bstrVal;
        result.vt = VT_DISPATCH;
        result.pdispVal = &gui;
        gui.AddRef();
    });
    metaInfo.On(L"ClassByName", [&](DISPPARAMS& arguments, VARIANT& result) {
        result.vt = VT_DISPATCH;
        result.pdispVal = std::wcscmp(arguments.rgvarg[0].bstrVal, L"Parts") == 0 ? &parts : &documents;
        result.pdispVal->AddRef();
    });
    parts.AnswersNumber(L"ClassId", 10);
    documents.AnswersNumber(L"ClassId", 20);
    partClass.AnswersNumber(L"ClassId", 11);
    partClass.AnswersNumber(L"SuperClassId", 10);
    partClass.On(L"BelongsToClass", [](DISPPARAMS&, VARIANT& result) {
        result.vt = VT_BOOL;
        result.boolVal = VARIANT_TRUE;
    });
    bool sourceRetrieved = false;
    for (FakeObject* part : {&target, &source}) {
        part->Answers(L"Data", &data);
        part->Answers(L"Class", &partClass);
        part->Answers(L"WorkingObject", part);
        part->Answers(L"TreeLinks", &links);
        part->On(L"Retrieve", [&sourceRetrieved, part, &source](DISPPARAMS&, VARIANT&) {
            if (part == &source) sourceRetrieved = true;
        });
    }
    data.On(L"GetValue", [](DISPPARAMS&, VARIANT& result) {
        result.vt = VT_I2;
        result.iVal = 5; // released: the component's lock lets the user change the part
    });
    data.AnswersNumber(L"ValueAsInt32", 0);
    data.On(L"ValueAsBool", [](DISPPARAMS&, VARIANT& result) {
        result.vt = VT_BOOL;
        result.boolVal = VARIANT_FALSE;
    });
    user.AnswersNumber(L"UserObjectId", 7);
    links.AnswersNumber(L"Count", 0);
    gui.Answers(L"ViewMaker", &gui);
    gui.Answers(L"MakeView", &view);
    gui.Answers(L"DialogMaker", &gui);
    gui.On(L"RunQueryDialog", [&dialog](DISPPARAMS& arguments, VARIANT& result) {
        VARIANT& out = *arguments.rgvarg[0].pvarVal;
        out.vt = VT_DISPATCH;
        out.pdispVal = &dialog;
        dialog.AddRef();
        result.vt = VT_I4;
        result.lVal = 1;
    });
    for (const wchar_t* name : {L"Close", L"SetOption", L"Prepare"}) dialog.On(name, [](DISPPARAMS&, VARIANT&) {});
    dialog.Answers(L"View", &dialog);
    dialog.Answers(L"Selection", &selection);
    dialog.AnswersNumber(L"Show", 1);
    selection.Answers(L"Query", &selection);
    selection.On(L"SetQuery", [](DISPPARAMS&, VARIANT&) {});
    view.Answers(L"Selection", &selection);
    view.Answers(L"ResultDialog", &dialog);
    view.Answers(L"Contents", &contents);
    contents.Answers(L"Objects", &contents);
    contents.Answers(L"Item", &source);

    VARIANT fromObj;
    VariantInit(&fromObj);
    VARIANT arguments[4];
    for (VARIANT& argument : arguments) VariantInit(&argument);
    arguments[3].vt = VT_DISPATCH;
    arguments[3].pdispVal = &session;
    arguments[2].vt = VT_DISPATCH;
    arguments[2].pdispVal = &target;
    arguments[1].vt = VT_BYREF | VT_VARIANT;
    arguments[1].pvarVal = &fromObj;
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = SysAllocString(L"");
    VARIANT result;
    EXCEPINFO exception;
    UINT argumentError = 0;
    HRESULT code = CallHook(application, 10, arguments, 4, result, exception, argumentError);
    Check(code == S_OK && result.vt == VT_I2 && result.iVal == 0, "CopyTreeFrom copies the picked part's tree");
    Check(createdProgId == L"CvGUISrv.CvCommonGUI", "the search is created by its programmatic identifier");
    Check(sourceRetrieved, "the picked part is retrieved");
    Check(fromObj.vt == VT_DISPATCH && fromObj.pdispVal == &source, "FromObj holds the picked part afterwards");
    VariantClear(&fromObj);
    VariantClear(&arguments[0]);
    bool allReleased = true;
    for (FakeObject* object : {&session, &metaInfo, &parts, &documents, &partClass, &target, &source, &data, &user,
                               &links, &gui, &view, &dialog, &selection, &contents, &store})
        allReleased = allReleased && object->References() == 0;
    Check(allReleased, "the component releases every platform object it obtained");
}

void CheckTypeLibrary(IDispatch* application) {
    ITypeInfo* info = nullptr;
    Check(SUCCEEDED(application->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) && info, "GetTypeInfo answers");
    if (!info) return;
    TYPEATTR* attributes = nullptr;
    info->GetTypeAttr(&attributes);
    Check(attributes->typekind == TKIND_DISPATCH, "the type is a dispatch interface");
    // The hooks in the method table's order, each parameter a VARIANT in and out, answering a short.
    UINT next = 1;
    for (UINT index = 0; index < attributes->cFuncs; ++index) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(index, &function))) continue;
        if (function->memid >= 1 && function->memid <= 18) {
            const quendra::Hook& hook = quendra::Hooks()[static_cast<size_t>(function->memid - 1)];
            Check(static_cast<UINT>(function->memid) == next++, "the hooks come in the method table's order");
            BSTR names[5] = {};
            UINT count = 0;
            info->GetNames(function->memid, names, 5, &count);
            Check(names[0] && names[0] == Wide(hook.name), "each DISPID carries its hook's name");
            Check(count == ArgumentCount(hook) + 1, "each hook has its parameters");
            for (UINT p = 2; p < count && p - 2 < hook.Parameters().size(); ++p)
                Check(names[p] && names[p] == Wide(hook.Parameters()[p - 2].name),
                      "each parameter has its name in the table");
            for (BSTR name : names) SysFreeString(name);
            Check(static_cast<UINT>(function->cParams) == ArgumentCount(hook), "each hook has its parameters");
            Check(function->elemdescFunc.tdesc.vt == VT_I2, "each hook answers a 16-bit integer");
            for (SHORT p = 0; p < function->cParams; ++p) {
                const ELEMDESC& parameter = function->lprgelemdescParam[p];
                Check(parameter.tdesc.vt == VT_PTR && parameter.tdesc.lptdesc->vt == VT_VARIANT,
                      "each parameter is a VARIANT by reference");
                Check((parameter.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT)) ==
                          (PARAMFLAG_FIN | PARAMFLAG_FOUT),
                      "each parameter is in and out");
            }
        }
        info->ReleaseFuncDesc(function);
    }
    Check(next == 19, "the type library describes all eighteen hooks");
    info->ReleaseTypeAttr(attributes);
    info->Release();
}

void CheckHooks(IDispatch* application) {
    const auto hooks = quendra::Hooks();
    for (size_t i = 0; i < hooks.size(); ++i) {
        std::wstring wide = Wide(hooks[i].name);
        LPOLESTR name = wide.data();
        DISPID id = 0;
        Check(application->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id) == S_OK &&
                  id == static_cast<DISPID>(i + 1),
              "each hook's DISPID is its place in the method table");
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"Refresh");
    DISPID id = 0;
    Check(application->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id) == DISP_E_UNKNOWNNAME,
          "an unknown name is refused");

    // Empty arguments: a hook that catches answers 1, one that does not fails with the failure's text
    // (the first empty argument that the hook needs).
    const wchar_t* session = L"the hook argument Session is empty";
    const wchar_t* rows = L"the hook argument RecListIn is empty";
    const wchar_t* failures[] = {nullptr, nullptr, nullptr, session, session, rows,
                                 rows,    rows,    rows,    session, session, session,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, L"the hook argument CvSession is empty"};
    VARIANT arguments[4];
    for (VARIANT& argument : arguments) VariantInit(&argument);
    VARIANT result;
    EXCEPINFO exception;
    UINT argumentError = 0;
    HRESULT code = S_OK;
    for (size_t i = 0; i < hooks.size(); ++i) {
        code = CallHook(application, static_cast<DISPID>(i + 1), arguments, ArgumentCount(hooks[i]), result, exception,
                        argumentError);
        Check(hooks[i].catches == !failures[i], "the hooks that catch are those of the table");
        if (!failures[i]) {
            Check(code == S_OK && result.vt == VT_I2 && result.iVal == 1, "a hook that catches answers 1");
            continue;
        }
        Check(code == DISP_E_EXCEPTION, "a hook that does not catch lets the failure pass");
        Check(exception.scode == MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0200), "the failure has the hook's code");
        Check(exception.bstrDescription && std::wcscmp(exception.bstrDescription, failures[i]) == 0,
              "the failure's text is the exception's description");
        Check(exception.bstrSource && std::wcscmp(exception.bstrSource, L"Quendra.Application") == 0,
              "the failure names its source");
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
    }

    code = CallHook(application, 18, arguments, 1, result, exception, argumentError);
    Check(code == DISP_E_BADPARAMCOUNT, "a wrong number of arguments is refused");
    // Arguments come last to first: rgvarg[1] is the session.
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = SysAllocString(L"not a session");
    code = CallHook(application, 18, arguments, 2, result, exception, argumentError);
    Check(code == DISP_E_TYPEMISMATCH && argumentError == 1, "a text for the session is a type mismatch");
    VariantClear(&arguments[1]);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: test_com_server <quendra.dll>\n");
        return 2;
    }
    CoInitialize(nullptr);
    HMODULE server = LoadLibraryW(argv[1]);
    Check(server != nullptr, "the DLL loads");
    if (!server) return 1;
    Check(ExportedNames(server) == L"DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer ",
          "the DLL exports exactly the four server entry points");
    auto getClassObject = Exported<GetClassObject>(server, "DllGetClassObject");
    auto canUnloadNow = Exported<CanUnloadNow>(server, "DllCanUnloadNow");

    Check(canUnloadNow() == S_OK, "an unused server can unload");
    IClassFactory* factory = nullptr;
    Check(getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&factory)) ==
              CLASS_E_CLASSNOTAVAILABLE,
          "another class is not available");
    Check(getClassObject(ClsidApplication, IID_IClassFactory, reinterpret_cast<void**>(&factory)) == S_OK,
          "the class factory is available");
    Check(canUnloadNow() == S_FALSE, "a living class factory keeps the server");

    IUnknown* aggregate = nullptr;
    Check(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IUnknown,
                                  reinterpret_cast<void**>(&aggregate)) == CLASS_E_NOAGGREGATION,
          "aggregation is refused");
    IDispatch* application = nullptr;
    Check(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&application)) == S_OK,
          "the factory makes the application");
    Check(factory->Release() == 0, "the factory ends with its last reference");
    Check(canUnloadNow() == S_FALSE, "a living application keeps the server");
    if (!application) return 1;

    Check(application->AddRef() == 2, "AddRef counts");
    Check(application->Release() == 1, "Release counts");
    IUnknown* unknown = nullptr;
    Check(application->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)) == S_OK,
          "the application is an IUnknown");
    Check(unknown->Release() == 1, "QueryInterface takes a reference of its own");
    IStream* stream = nullptr;
    Check(application->QueryInterface(IID_IStream, reinterpret_cast<void**>(&stream)) == E_NOINTERFACE &&
              stream == nullptr,
          "other interfaces are refused");

    CheckTypeLibrary(application);
    CheckHooks(application);
    CheckObjectHandedBack(application);
    CheckExportsWithoutMemory(server);

    Check(application->Release() == 0, "the application ends with its last reference");
    Check(canUnloadNow() == S_OK, "with every object released the server can unload");

    // A lock keeps the server without any object.
    getClassObject(ClsidApplication, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    factory->LockServer(TRUE);
    factory->Release();
    Check(canUnloadNow() == S_FALSE, "a server lock keeps the server");
    getClassObject(ClsidApplication, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    factory->LockServer(FALSE);
    factory->Release();
    Check(canUnloadNow() == S_OK, "the server can unload once the lock is gone");
    CoUninitialize();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
