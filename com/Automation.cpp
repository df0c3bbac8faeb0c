// Automation values and calls by name.
// SPDX-License-Identifier: Apache-2.0
#include "Automation.h"

#include "CvError.h"

#include <dispex.h>

#include <cstdio>

namespace quendra::com {

std::wstring Wide(const std::string& text) {
    const std::u16string wide = Utf16(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string Utf8(const wchar_t* text, size_t length) {
    if (!text) return {};
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "automation texts are UTF-16");
    return Utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
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
    Variant result;
    result.v_.vt = VT_DATE;
    result.v_.date = AutomationDate(when);
    return result;
}

Variant Variant::FromValue(const Value& value) {
    return FromData(VariantOf(value));
}

Variant Variant::FromData(const VariantData& data) {
    switch (data.type) {
    case VariantType::Empty:
        return Variant();
    case VariantType::Null: {
        Variant result;
        result.v_.vt = VT_NULL;
        return result;
    }
    case VariantType::Text: {
        Variant result;
        result.v_.vt = VT_BSTR;
        result.v_.bstrVal =
            SysAllocStringLen(reinterpret_cast<const OLECHAR*>(data.text.data()), static_cast<UINT>(data.text.size()));
        if (!result.v_.bstrVal) throw CvError("out of memory for a text");
        return result;
    }
    case VariantType::Int16:
        return Int16(static_cast<int16_t>(data.whole));
    case VariantType::Int32:
        return Int32(static_cast<int32_t>(data.whole));
    case VariantType::Double:
        return Double(data.real);
    case VariantType::Bool:
        return Bool(data.whole != 0);
    default:
        throw CvError("a value of variant type " + std::to_string(static_cast<int>(data.type)) + " cannot be made");
    }
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

VariantData Variant::Data() const {
    const VARIANT& v = Dereferenced(v_);
    const bool reference = (v.vt & VT_BYREF) != 0;
    VariantData data;
    data.type = static_cast<VariantType>(v.vt & ~VT_BYREF);
    switch (data.type) {
    case VariantType::Empty:
    case VariantType::Null:
        break;
    case VariantType::Int16:
        data.whole = reference ? *v.piVal : v.iVal;
        break;
    case VariantType::Int32:
        data.whole = reference ? *v.plVal : v.lVal;
        break;
    case VariantType::Int:
        data.whole = reference ? *v.pintVal : v.intVal;
        break;
    case VariantType::Int8:
        data.whole = reference ? *v.pcVal : v.cVal;
        break;
    case VariantType::Int64:
        data.whole = reference ? *v.pllVal : v.llVal;
        break;
    case VariantType::UInt8:
        data.unsignedWhole = reference ? *v.pbVal : v.bVal;
        break;
    case VariantType::UInt16:
        data.unsignedWhole = reference ? *v.puiVal : v.uiVal;
        break;
    case VariantType::UInt32:
        data.unsignedWhole = reference ? *v.pulVal : v.ulVal;
        break;
    case VariantType::UInt:
        data.unsignedWhole = reference ? *v.puintVal : v.uintVal;
        break;
    case VariantType::UInt64:
        data.unsignedWhole = reference ? *v.pullVal : v.ullVal;
        break;
    case VariantType::Float:
        data.real = reference ? *v.pfltVal : v.fltVal;
        break;
    case VariantType::Double:
        data.real = reference ? *v.pdblVal : v.dblVal;
        break;
    case VariantType::Date:
        data.real = reference ? *v.pdate : v.date;
        break;
    case VariantType::Currency:
        data.whole = (reference ? *v.pcyVal : v.cyVal).int64;
        break;
    case VariantType::Bool:
        data.whole = reference ? *v.pboolVal : v.boolVal;
        break;
    case VariantType::Error:
        data.whole = reference ? *v.pscode : v.scode;
        break;
    case VariantType::Decimal: {
        const DECIMAL& decimal = reference ? *v.pdecVal : v.decVal;
        data.unsignedWhole = decimal.Lo64;
        data.decimalHigh = decimal.Hi32;
        data.decimalScale = decimal.scale;
        data.decimalNegative = (decimal.sign & DECIMAL_NEG) != 0;
        break;
    }
    case VariantType::Text: {
        const BSTR text = reference ? (v.pbstrVal ? *v.pbstrVal : nullptr) : v.bstrVal;
        if (text) data.text.assign(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
        break;
    }
    case VariantType::Dispatch:
    case VariantType::Unknown:
        data.object = !IsNone();
        break;
    default:
        data.type = VariantType::Error;
        break;
    }
    return data;
}

Value Variant::ToValue() const {
    const VariantData data = Data();
    if (auto value = ValueOf(data)) return *value;
    // An object's value and the rest: as the system says them in text.
    Variant text;
    if (SUCCEEDED(VariantChangeType(&text.v_, Source(Dereferenced(v_)), VARIANT_ALPHABOOL, VT_BSTR)))
        return Value::Text(Utf8(text.v_.bstrVal));
    throw CvError("a value of variant type " + std::to_string(Dereferenced(v_).vt) + " cannot be read");
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
