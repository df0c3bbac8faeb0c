// The platform interfaces offered over automation. Every member is an operation of CvPlatform.def:
// its arguments are read from variants in the types the operation takes, and its answer is written
// as a variant (an object as another automation object of this kind). A platform failure reaches
// the caller as DISP_E_EXCEPTION holding its text.
// SPDX-License-Identifier: Apache-2.0
#include "PlatformDispatch.h"

#include "AutomationNames.h"
#include "ComObject.h"
#include "CvError.h"

#include <cwchar>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace quendra::com {

namespace {

// {5E0C3E41-7B5D-4E5C-9A35-1C2F6B8D4E70}: how an automation object of this kind is recognised when
// it comes back as an argument.
const IID IidPlatformObject = {0x5E0C3E41, 0x7B5D, 0x4E5C, {0x9A, 0x35, 0x1C, 0x2F, 0x6B, 0x8D, 0x4E, 0x70}};

// Every interface a platform object may implement: CvDispatch and those of CvPlatform.def.
// A platform object of any interface, viewed as each interface it implements (null where it does not).
class Held {
public:
    explicit Held(std::shared_ptr<void> keepAlive) : keepAlive(std::move(keepAlive)) {}
    virtual ~Held() = default;
    virtual CvDispatch* AsCvDispatch() const = 0;
#define QUENDRA_INTERFACE(T, ...) virtual T* As##T() const = 0;
#include "CvPlatform.def"
    virtual std::shared_ptr<void> Owner() const = 0;

    // What the platform object needs alive beside itself (the database and dialogs it was made
    // with), handed on to every object that its operations answer.
    const std::shared_ptr<void> keepAlive;
};

template <typename Object> class HeldOf final : public Held {
public:
    HeldOf(Ptr<Object> object, std::shared_ptr<void> keepAlive)
        : Held(std::move(keepAlive)), object_(std::move(object)) {}
#define QUENDRA_AS(T)                                                                                                  \
    T* As##T() const override {                                                                                        \
        return dynamic_cast<T*>(object_.get());                                                                        \
    }
    QUENDRA_AS(CvDispatch)
#define QUENDRA_INTERFACE(T, ...) QUENDRA_AS(T)
#include "CvPlatform.def"
#undef QUENDRA_AS
    std::shared_ptr<void> Owner() const override {
        return object_;
    }

private:
    Ptr<Object> object_;
};

template <typename T> struct Cast;
#define QUENDRA_CAST(T)                                                                                                \
    template <> struct Cast<T> {                                                                                       \
        static T* From(const Held& held) { return held.As##T(); }                                                      \
    };
QUENDRA_CAST(CvDispatch)
#define QUENDRA_INTERFACE(T, ...) QUENDRA_CAST(T)
#include "CvPlatform.def"
#undef QUENDRA_CAST

template <typename T> Ptr<T> View(const Held& held) {
    T* raw = Cast<T>::From(held);
    return raw ? Ptr<T>(held.Owner(), raw) : nullptr;
}

template <typename T> DispatchPtr Wrap(const Ptr<T>& object, const std::shared_ptr<void>& keepAlive);

// The keep-alive of the object whose operation runs now (calls come on the apartment's one thread).
thread_local std::shared_ptr<void> runningKeepAlive;

// A failure of the caller: DISP_E_BADPARAMCOUNT or DISP_E_TYPEMISMATCH.
struct CallerError {
    HRESULT code;
};

class PlatformObject;
const Held* HeldBy(IDispatch* object);

// One argument, read in the type the operation takes.
template <typename T> T Read(const VARIANT& argument) {
    Variant copy;
    if (FAILED(VariantCopyInd(&copy.Raw(), Source(Dereferenced(argument))))) throw CallerError{DISP_E_TYPEMISMATCH};
    if constexpr (std::is_same_v<T, Value>) {
        return copy.ToValue();
    } else if constexpr (std::is_same_v<T, std::chrono::system_clock::time_point>) {
        // An automation date counts days from 30 December 1899.
        if (FAILED(VariantChangeType(&copy.Raw(), &copy.Raw(), 0, VT_DATE))) throw CallerError{DISP_E_TYPEMISMATCH};
        auto when = TimeOfAutomationDate(copy.Raw().date);
        if (!when) throw CallerError{DISP_E_TYPEMISMATCH};
        return *when;
    } else if constexpr (requires { typename T::element_type; }) {
        if (copy.IsNone()) return nullptr;
        if (copy.Raw().vt != VT_DISPATCH) throw CallerError{DISP_E_TYPEMISMATCH};
        const Held* held = HeldBy(copy.Raw().pdispVal);
        if (!held) throw CvError("an object that did not come from this platform cannot be passed to it");
        auto viewed = View<typename T::element_type>(*held);
        if (!viewed) throw CallerError{DISP_E_TYPEMISMATCH};
        return viewed;
    } else {
        if (copy.IsNone()) return T{};
        if (copy.Raw().vt == VT_DISPATCH || copy.Raw().vt == VT_UNKNOWN) throw CallerError{DISP_E_TYPEMISMATCH};
        Value value = copy.ToValue();
        if constexpr (std::is_same_v<T, std::string>)
            return value.AsText();
        else if constexpr (std::is_same_v<T, int16_t>)
            return value.AsInt16();
        else if constexpr (std::is_same_v<T, int32_t>)
            return value.AsInt32();
        else if constexpr (std::is_same_v<T, double>)
            return value.AsDouble();
        else
            return value.AsBool();
    }
}

Variant Answer(int16_t value) {
    return Variant::Int16(value);
}
Variant Answer(int32_t value) {
    return Variant::Int32(value);
}
Variant Answer(bool value) {
    return Variant::Bool(value);
}
Variant Answer(const std::string& value) {
    return Variant::Text(value);
}
Variant Answer(const Value& value) {
    return Variant::FromValue(value);
}
template <typename T> Variant Answer(const Ptr<T>& object) {
    return Variant::Object(Wrap(object, runningKeepAlive));
}

// An out argument (a non-const reference) gets the value the operation left in it, when the caller
// passed a variable.
template <typename T> void WriteBack(VARIANT& argument, const T& value) {
    if (argument.vt != (VT_BYREF | VT_VARIANT) || !argument.pvarVal) return;
    Variant answer = Answer(value);
    VariantClear(argument.pvarVal);
    VariantCopy(argument.pvarVal, &answer.Raw());
}

template <typename A> class Argument {
public:
    using Type = std::remove_cvref_t<A>;
    static constexpr bool Out = std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;
    explicit Argument(VARIANT& argument) : argument_(argument), value_(Read<Type>(argument)) {}
    Type& Get() { return value_; }
    void Finish() {
        if constexpr (Out) WriteBack(argument_, value_);
    }

private:
    VARIANT& argument_;
    Type value_;
};

using Call = Variant (*)(const Held&, DISPPARAMS&);
using Implements = bool (*)(const Held&);

template <auto Member> struct Binder;
template <typename T, typename R, typename... A, R (T::*Member)(A...)> struct Binder<Member> {
    static bool Implemented(const Held& held) { return Cast<T>::From(held) != nullptr; }

    static Variant Invoke(const Held& held, DISPPARAMS& parameters) {
        if (parameters.cArgs != sizeof...(A)) throw CallerError{DISP_E_BADPARAMCOUNT};
        return InvokeWith(*Cast<T>::From(held), parameters, std::index_sequence_for<A...>{});
    }

    template <size_t... I> static Variant InvokeWith(T& self, DISPPARAMS& parameters, std::index_sequence<I...>) {
        // The arguments come last to first.
        std::tuple<Argument<A>...> arguments{Argument<A>(parameters.rgvarg[parameters.cArgs - 1 - I])...};
        Variant answer;
        if constexpr (std::is_void_v<R>)
            (self.*Member)(std::get<I>(arguments).Get()...);
        else
            answer = Answer((self.*Member)(std::get<I>(arguments).Get()...));
        (std::get<I>(arguments).Finish(), ...);
        return answer;
    }
};

struct Binding {
    CvOperation operation;
    Implements implemented;
    Call call;
};

template <auto Member> constexpr Binding Bind(CvOperation operation) {
    return {operation, &Binder<Member>::Implemented, &Binder<Member>::Invoke};
}

// Every operation of CvPlatform.def; a member's DISPID is its position here from 1.
const Binding bindings[] = {
#define QUENDRA_OPERATION(Interface, Name, Result, Parameters) Bind<&Interface::Name>(CvOperation::Interface##_##Name),
#include "CvPlatform.def"
};

class PlatformObject final : public ComObject<IDispatch> {
public:
    explicit PlatformObject(std::unique_ptr<Held> held) : held_(std::move(held)) {}

    const Held& Object() const { return *held_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Answer(iid, object, {&IID_IDispatch, &IidPlatformObject});
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo) *typeInfo = nullptr;
        return DISP_E_BADINDEX;
    }

    // A name is the automation name of an operation of an interface that the object implements.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        const std::string name = Utf8(names[0], std::wcslen(names[0]));
        for (size_t i = 0; i < std::size(bindings); ++i) {
            const std::string automationName(AutomationName(bindings[i].operation));
            if (_stricmp(automationName.c_str(), name.c_str()) == 0 && bindings[i].implemented(*held_)) {
                ids[0] = static_cast<DISPID>(i + 1);
                break;
            }
        }
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (id < 1 || id > static_cast<DISPID>(std::size(bindings))) return DISP_E_MEMBERNOTFOUND;
        const Binding& binding = bindings[id - 1];
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) || !binding.implemented(*held_))
            return DISP_E_MEMBERNOTFOUND;
        if (!parameters) return E_INVALIDARG;
        if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        struct Running {
            std::shared_ptr<void> before;
            ~Running() { runningKeepAlive = std::move(before); }
        } running{std::exchange(runningKeepAlive, held_->keepAlive)};
        try {
            Variant answer = binding.call(*held_, *parameters);
            if (result) {
                VariantInit(result);
                VariantCopy(result, &answer.Raw());
            }
            return S_OK;
        } catch (const CallerError& error) {
            return error.code;
        } catch (const std::exception& error) {
            return Failed(exception, std::string(NameOf(binding.operation).full), error.what());
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

private:
    using ComObject<IDispatch>::Answer;

    static HRESULT Failed(EXCEPINFO* exception, const std::string& source, const std::string& description) {
        if (exception) {
            *exception = EXCEPINFO{};
            std::wstring wideSource = Wide(source), text = Wide(description);
            exception->bstrSource = SysAllocStringLen(wideSource.data(), static_cast<UINT>(wideSource.size()));
            exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            exception->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }

    std::unique_ptr<Held> held_;
};

const Held* HeldBy(IDispatch* object) {
    if (!object) return nullptr;
    IDispatch* own = nullptr;
    if (FAILED(object->QueryInterface(IidPlatformObject, reinterpret_cast<void**>(&own)))) return nullptr;
    // The object stays alive: the caller's variant holds a reference of its own.
    own->Release();
    return &static_cast<PlatformObject*>(own)->Object();
}

template <typename T> DispatchPtr Wrap(const Ptr<T>& object, const std::shared_ptr<void>& keepAlive) {
    DispatchPtr wrapped;
    if (!object) return wrapped;
    auto* created = new PlatformObject(std::make_unique<HeldOf<T>>(object, keepAlive));
    *wrapped.Receive() = created;
    return wrapped;
}

} // namespace

DispatchPtr DispatchOver(const Ptr<CvSession>& session, const std::shared_ptr<void>& keepAlive) {
    return Wrap(session, keepAlive);
}

Ptr<CvObject> ObjectBehind(const DispatchPtr& object) {
    const Held* held = HeldBy(object.Get());
    auto viewed = held ? View<CvObject>(*held) : nullptr;
    if (!viewed) throw CvError("the object handed back is not an object of this platform");
    return viewed;
}

DispatchPtr DispatchOver(const Ptr<CvRecList>& recList, const std::shared_ptr<void>& keepAlive) {
    return Wrap(recList, keepAlive);
}

DispatchPtr DispatchOver(const Ptr<CvObject>& object, const std::shared_ptr<void>& keepAlive) {
    return Wrap(object, keepAlive);
}

} // namespace quendra::com
