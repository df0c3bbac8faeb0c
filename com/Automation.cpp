// Automation values and calls by name.
// SPDX-License-Identifier: Apache-2.0
#include "Automation.h"

#include "CvError.h"

#include <dispex.h>

#include <cstdio>

namespace quendra::com {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Utf8(const wchar_t* text, size_t length) {
    if (!text || length == 0) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::string Utf8(BSTR text) {
    return Utf8(text, text ? SysStringLen(text) : 0);
}

std::string HexCode(HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

Variant::Variant(const Variant& other) : Variant() {
    if (FAILED(VariantCopy(&v_, Source(other.v_)))) throw CvError("a value cannot be copied");
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_) {
    VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant other) noexcept {
    std::swap(v_, other.v_);
    return *this;
}

Variant Variant::Text(const std::string& text) {
    Variant result;
    std::wstring wide = Wide(text);
    result.v_.vt = VT_BSTR;
    result.v_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!result.v_.bstrVal) throw CvError("out of memory for a text");
    return result;
}

Variant Variant::Int16(int16_t value) {
    Variant result;
    result.v_.vt = VT_I2;
    result.v_.iVal = value;
    return result;
}

Variant Variant::Int32(int32_t value) {
    Variant result;
    result.v_.vt = VT_I4;
    result.v_.lVal = value;
    return result;
}

Variant Variant::Double(double value) {
    Variant result;
    result.v_.vt = VT_R8;
    result.v_.dblVal = value;
    return result;
}

Variant Variant::Bool(bool value) {
    Variant result;
    result.v_.vt = VT_BOOL;
    result.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}

Variant Variant::Object(const DispatchPtr& object) {
    Variant result;
    if (object) {
        result.v_.vt = VT_DISPATCH;
        result.v_.pdispVal = object.Get();
        object->AddRef();
    }
    return result;
}

Variant Variant::Date(std::chrono::system_clock::time_point when) {
    // Automation dates count days from 30 December 1899, the time of day as the fraction.
    constexpr double secondsPerDay = 86400.0;
    constexpr double daysFrom1899To1970 = 25569.0;
    double seconds = std::chrono::duration<double>(when.time_since_epoch()).count();
    Variant result;
    result.v_.vt = VT_DATE;
    result.v_.date = daysFrom1899To1970 + seconds / secondsPerDay;
    return result;
}

Variant Variant::FromValue(const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Null:
        return Variant();
    case Value::Kind::Text:
        return Text(value.AsText());
    case Value::Kind::Int16:
        return Int16(value.AsInt16());
    case Value::Kind::Int32:
        return Int32(value.AsInt32());
    case Value::Kind::Double:
        return Double(value.AsDouble());
    case Value::Kind::Bool:
        return Bool(value.AsBool());
    }
    return Variant();
}

Variant Variant::RefTo(VARIANT& target) {
    Variant result;
    result.v_.vt = VT_BYREF | VT_VARIANT;
    result.v_.pvarVal = &target;
    return result;
}

const VARIANT& Dereferenced(const VARIANT& argument) {
    if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal) return Dereferenced(*argument.pvarVal);
    return argument;
}

bool Variant::IsNone() const {
    const VARIANT& v = Dereferenced(v_);
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_DISPATCH:
        return v.pdispVal == nullptr;
    case VT_DISPATCH | VT_BYREF:
        return !v.ppdispVal || !*v.ppdispVal;
    case VT_UNKNOWN:
        return v.punkVal == nullptr;
    case VT_UNKNOWN | VT_BYREF:
        return !v.ppunkVal || !*v.ppunkVal;
    default:
        return false;
    }
}

DispatchPtr Variant::Dispatch() const {
    if (IsNone()) return {};
    const VARIANT& v = Dereferenced(v_);
    IUnknown* unknown = nullptr;
    switch (v.vt) {
    case VT_DISPATCH:
        return DispatchPtr(v.pdispVal);
    case VT_DISPATCH | VT_BYREF:
        return DispatchPtr(*v.ppdispVal);
    case VT_UNKNOWN:
        unknown = v.punkVal;
        break;
    case VT_UNKNOWN | VT_BYREF:
        unknown = *v.ppunkVal;
        break;
    default:
        throw CvError("an object was expected, not a value of variant type " + std::to_string(v.vt));
    }
    DispatchPtr dispatch;
    if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()))))
        throw CvError("an object without automation was passed");
    return dispatch;
}

Value Variant::ToValue() const {
    if (IsNone()) return Value();
    VARIANT v;
    VariantInit(&v);
    // VariantCopyInd reads through references of any type.
    if (FAILED(VariantCopyInd(&v, Source(Dereferenced(v_))))) throw CvError("a value cannot be read");
    Variant owned;
    owned.v_ = v;
    switch (v.vt) {
    case VT_BSTR:
        return Value::Text(Utf8(v.bstrVal));
    case VT_I2:
        return Value::Int16(v.iVal);
    case VT_I4:
        return Value::Int32(v.lVal);
    case VT_R8:
        return Value::Double(v.dblVal);
    case VT_BOOL:
        return Value::Bool(v.boolVal != VARIANT_FALSE);
    case VT_UI1:
    case VT_I1:
    case VT_UI2:
    case VT_INT:
        if (SUCCEEDED(VariantChangeType(&owned.v_, &owned.v_, 0, VT_I4))) return Value::Int32(owned.v_.lVal);
        break;
    case VT_R4:
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_CY:
    case VT_DECIMAL:
        if (SUCCEEDED(VariantChangeType(&owned.v_, &owned.v_, 0, VT_R8))) return Value::Double(owned.v_.dblVal);
        break;
    default:
        break;
    }
    if (SUCCEEDED(VariantChangeType(&owned.v_, &owned.v_, VARIANT_ALPHABOOL, VT_BSTR)))
        return Value::Text(Utf8(owned.v_.bstrVal));
    throw CvError("a value of variant type " + std::to_string(v.vt) + " cannot be read");
}

Variant CallByName(IDispatch* object, const std::string& name, std::vector<Variant>& arguments,
                   const std::string& what) {
    if (!object) throw CvError(what + ": there is no object to call");
    std::wstring wideName = Wide(name);
    DISPID id = 0;
    HRESULT code = E_NOTIMPL;
    // Script objects find their members through IDispatchEx (some answer nothing else).
    ComPtr<IDispatchEx> scriptObject;
    if (SUCCEEDED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(scriptObject.Receive())))) {
        BSTR member = SysAllocStringLen(wideName.data(), static_cast<UINT>(wideName.size()));
        code = scriptObject->GetDispID(member, fdexNameCaseInsensitive, &id);
        SysFreeString(member);
    }
    if (FAILED(code)) {
        LPOLESTR names[] = {wideName.data()};
        code = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    }
    if (FAILED(code)) throw CvError(what + ": the object has no member " + name + " (" + HexCode(code) + ")");

    // Automation passes the arguments last to first.
    std::vector<VARIANT> reversed;
    reversed.reserve(arguments.size());
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(it->Raw());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    constexpr WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    if (scriptObject)
        code = scriptObject->InvokeEx(id, LOCALE_USER_DEFAULT, flags, &parameters, &result.Raw(), &exception, nullptr);
    else
        code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result.Raw(), &exception,
                              &argumentError);
    if (SUCCEEDED(code)) return result;

    std::string description;
    if (code == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        description = Utf8(exception.bstrDescription);
        if (FAILED(exception.scode)) code = exception.scode;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    if (!description.empty()) throw CvError(description);
    throw CvError(what + " failed (" + HexCode(code) + ")");
}

} // namespace quendra::com
