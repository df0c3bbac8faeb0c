// A hook called through Quendra.Application, as a platform script calls it.
// SPDX-License-Identifier: Apache-2.0
#include "ComHookCall.h"

#include "HostWindows.h"
#include "PlatformDispatch.h"

#include "CvError.h"

#include <objbase.h>

#include <type_traits>

namespace quendra::com {

int16_t CallHookThroughCom(const std::string& hook, std::vector<HookArgument>& arguments, ui::WindowSystem& windows) {
    // The calling thread is the apartment of the server, as the platform's desktop thread is.
    static const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)initialised;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Quendra.Application", &clsid)))
        throw CvError("Quendra.Application is not registered: register quendra.dll with regsvr32");
    DispatchPtr application;
    HRESULT code = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                    reinterpret_cast<void**>(application.Receive()));
    if (FAILED(code)) throw CvError("Quendra.Application cannot be created (" + HexCode(code) + ")");
    ComPtr<IHostWindows> host;
    code = application->QueryInterface(IidHostWindows, reinterpret_cast<void**>(host.Receive()));
    if (FAILED(code)) throw CvError("this quendra.dll takes no host windows (" + HexCode(code) + ")");
    BoundaryWindows handed(windows);
    host->UseWindows(&handed);

    std::wstring name = Wide(hook);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    code = application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(code)) throw CvError("Quendra.Application has no hook " + hook);

    // The script's variables, passed by reference.
    std::vector<Variant> variables(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i)
        variables[i] = std::visit(
            [](const auto& argument) {
                if constexpr (std::is_same_v<std::decay_t<decltype(argument)>, std::string>)
                    return Variant::Text(argument);
                else
                    return Variant::Object(DispatchOver(argument, nullptr));
            },
            arguments[i]);
    std::vector<VARIANT> references(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        VARIANT& reference = references[arguments.size() - 1 - i];
        VariantInit(&reference);
        reference.vt = VT_BYREF | VT_VARIANT;
        reference.pvarVal = &variables[i].Raw();
    }
    DISPPARAMS parameters{references.data(), nullptr, static_cast<UINT>(references.size()), 0};
    Variant result;
    EXCEPINFO exception{};
    UINT wrongArgument = 0;
    code = application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result.Raw(),
                               &exception, &wrongArgument);
    if (code == DISP_E_EXCEPTION) {
        std::string description = exception.bstrDescription ? Utf8(exception.bstrDescription) : "";
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        throw CvError(description.empty() ? hook + " failed (" + HexCode(exception.scode) + ")" : description);
    }
    if (FAILED(code)) throw CvError("the call of " + hook + " failed (" + HexCode(code) + ")");
    // Objects come back as the hook left them.
    for (size_t i = 0; i < arguments.size(); ++i)
        if (std::holds_alternative<Ptr<CvObject>>(arguments[i]))
            arguments[i] = variables[i].IsNone() ? nullptr : ObjectBehind(variables[i].Dispatch());
    return result.ToValue().AsInt16();
}

} // namespace quendra::com
