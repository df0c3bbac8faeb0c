// Automation values and calls: variants, texts as BSTRs, and calls by name on IDispatch objects.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "AutomationValue.h"
#include "Value.h"

// <windows.h> comes first: the other Windows headers build on it.
#include <windows.h>

#include <oleauto.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace quendra::com {

std::wstring Wide(const std::string& text);
std::string Utf8(const wchar_t* text, size_t length);
std::string Utf8(BSTR text);
// An HRESULT as the eight hexadecimal digits Windows shows, "0x80070005".
std::string HexCode(HRESULT code);

// A reference to a COM object that releases it when it ends.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    // Takes a reference of its own.
    explicit ComPtr(T* object) : object_(object) {
        if (object_) object_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.object_) {}
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComPtr() {
        if (object_) object_->Release();
    }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For the functions that hand out a new reference.
    T** Receive() {
        *this = ComPtr();
        return &object_;
    }

private:
    T* object_ = nullptr;
};

using DispatchPtr = ComPtr<IDispatch>;

// A VARIANT that clears itself.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    ~Variant() { VariantClear(&v_); }

    static Variant Text(const std::string& text);
    static Variant Int16(int16_t value);
    static Variant Int32(int32_t value);
    static Variant Double(double value);
    static Variant Bool(bool value);
    // VT_EMPTY for none.
    static Variant Object(const DispatchPtr& object);
    static Variant Date(std::chrono::system_clock::time_point when);
    // Null becomes VT_EMPTY.
    static Variant FromValue(const Value& value);
    // A reference to another VARIANT, for the platform's in/out arguments.
    static Variant RefTo(VARIANT& target);

    VARIANT& Raw() { return v_; }
    const VARIANT& Raw() const { return v_; }

    // Empty, null and a null object are none; by-reference variants read what they point to.
    bool IsNone() const;
    // The object it holds; none gives an empty pointer; anything else throws CvError.
    DispatchPtr Dispatch() const;
    // The value as ValueOf reads it; what only the system can say is converted to text.
    Value ToValue() const;
    // What it holds, references followed; an array or a type without a VariantType is Error.
    VariantData Data() const;
    // The variant holding that: the types VariantOf makes (empty, null, texts, 16- and 32-bit integers,
    // doubles and Booleans); others throw CvError.
    static Variant FromData(const VariantData& data);

private:
    VARIANT v_;
};

// The source of VariantCopy and VariantCopyInd, which MinGW declares without const.
inline VARIANT* Source(const VARIANT& variant) {
    return const_cast<VARIANT*>(&variant);
}

// What a by-reference argument points to, or the argument itself.
const VARIANT& Dereferenced(const VARIANT& argument);

// Calls a method or reads a property of an automation object by name; a failure throws CvError
// holding the object's own description of it, or else `what` and the failing HRESULT.
Variant CallByName(IDispatch* object, const std::string& name, std::vector<Variant>& arguments,
                   const std::string& what);

} // namespace quendra::com
