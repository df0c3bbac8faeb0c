// ApplicationObject: the eighteen hooks of Quendra.Application over IDispatch.
//
// The component's headers come before the Windows headers: <windows.h> defines MessageBox and
// CreateWindow as macros, which would rename the window system's members here.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "HookLog.h"
#include "HookTable.h"
#include "ScriptedUser.h"
#include "Win32WindowSystem.h"

#include "ApplicationObject.h"
#include "AutomationPlatform.h"
#include "ComObject.h"
#include "HostWindows.h"
#include "Registration.h"
#include "ScriptedAnswers.h"
#include "ServerState.h"

#include <chrono>
#include <cstddef>
#include <cwchar>
#include <iterator>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quendra::com {

namespace {

// The HRESULT a script sees for a failure that a hook lets pass; the description says what failed.
constexpr HRESULT HookFailed = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0200);

// An argument of the wrong type: the call fails with DISP_E_TYPEMISMATCH naming its position.
struct ArgumentTypeError {
    UINT position;
};

// The arguments of one call, first to last.
class Arguments {
public:
    explicit Arguments(DISPPARAMS& parameters) : parameters_(parameters) {}

    VARIANT& At(UINT position) { return parameters_.rgvarg[parameters_.cArgs - 1 - position]; }

    DispatchPtr Object(UINT position) {
        Variant copy;
        if (FAILED(VariantCopyInd(&copy.Raw(), Source(Dereferenced(At(position)))))) throw ArgumentTypeError{position};
        try {
            return copy.Dispatch();
        } catch (const CvError&) {
            throw ArgumentTypeError{position};
        }
    }

    std::string Text(UINT position) {
        Variant copy;
        if (FAILED(VariantCopyInd(&copy.Raw(), Source(Dereferenced(At(position)))))) throw ArgumentTypeError{position};
        if (copy.Raw().vt == VT_DISPATCH || copy.Raw().vt == VT_UNKNOWN) throw ArgumentTypeError{position};
        return copy.ToValue().AsText();
    }

    // Hands an object back through an in/out argument; an argument passed by value keeps its value.
    void SetObject(UINT position, const Ptr<CvObject>& object) {
        DispatchPtr dispatch = DispatchOfObject(object);
        VARIANT& argument = At(position);
        if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal) {
            VARIANT& target = *argument.pvarVal;
            if (target.vt == VT_DISPATCH && target.pdispVal == dispatch.Get()) return;
            VariantClear(&target);
            if (dispatch) {
                target.vt = VT_DISPATCH;
                target.pdispVal = dispatch.Get();
                dispatch->AddRef();
            }
        } else if (argument.vt == (VT_BYREF | VT_DISPATCH) && argument.ppdispVal) {
            if (*argument.ppdispVal == dispatch.Get()) return;
            if (*argument.ppdispVal) (*argument.ppdispVal)->Release();
            *argument.ppdispVal = dispatch.Get();
            if (dispatch) dispatch->AddRef();
        }
    }

private:
    DISPPARAMS& parameters_;
};

class ApplicationObject final : public ComObject<IDispatch>, public IHostWindows {
public:
    ApplicationObject() {
        if (answersFile_.empty())
            application_.emplace(windows_);
        else
            application_.emplace(scripted_);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object && IsEqualIID(iid, IidHostWindows)) {
            *object = static_cast<IHostWindows*>(this);
            AddRef();
            return S_OK;
        }
        return Answer(iid, object, {&IID_IDispatch, &DiidApplication});
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject<IDispatch>::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject<IDispatch>::Release(); }

    HRESULT STDMETHODCALLTYPE UseWindows(BoundaryWindows* windows) override {
        if (!windows) return E_POINTER;
        return Guarded([&] {
            received_ = BoundaryWindows::Receive(*windows);
            application_.emplace(*received_);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override {
        if (!typeInfo) return E_POINTER;
        *typeInfo = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ComPtr<ITypeLib> library;
        HRESULT code = LoadServerTypeLib(library.Receive());
        if (FAILED(code)) return code;
        return library->GetTypeInfoOfGuid(DiidApplication, typeInfo);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        ids[0] = DISPID_UNKNOWN;
        const std::string name = Utf8(names[0], std::wcslen(names[0]));
        for (size_t i = 0; i < Hooks().size(); ++i)
            if (_stricmp(name.c_str(), std::string(Hooks()[i].name).c_str()) == 0) ids[0] = static_cast<DISPID>(i + 1);
        // Arguments are positional: parameter names are not known.
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (id < 1 || id > static_cast<DISPID>(Hooks().size())) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
        if (!parameters) return E_INVALIDARG;
        if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        const Hook& hook = Hooks()[static_cast<size_t>(id - 1)];
        if (parameters->cArgs != 1 + hook.Parameters().size()) return DISP_E_BADPARAMCOUNT;
        auto started = std::chrono::steady_clock::now();
        std::optional<int16_t> answered;
        std::string failure;
        HRESULT code = S_OK;
        try {
            answered = CallAnswered(hook, Arguments(*parameters));
            if (result) {
                VariantInit(result);
                result->vt = VT_I2;
                result->iVal = *answered;
            }
        } catch (const ArgumentTypeError& error) {
            if (argumentError) *argumentError = parameters->cArgs - 1 - error.position;
            failure = "argument " + std::to_string(error.position + 1) + " has the wrong type";
            code = DISP_E_TYPEMISMATCH;
        } catch (const std::exception& error) {
            failure = error.what();
            code = Failed(exception, failure);
        } catch (...) {
            failure = "the hook failed for an unknown reason";
            code = Failed(exception, failure);
        }
        std::string caught = application_->TakeCaughtFailure();
        if (answered) failure = caught;
        log_.Append(std::string(hook.name), answered, std::chrono::steady_clock::now() - started, failure);
        return code;
    }

private:
    // With QUENDRA_ANSWERS set, each call takes the answers that earlier calls left, in order; a
    // window that the answers do not fit makes the call fail with what did not fit.
    int16_t CallAnswered(const Hook& hook, Arguments arguments) {
        if (answersFile_.empty()) return Call(hook, arguments);
        if (!answersRead_) {
            answers_ = ReadAnswers(answersFile_);
            answersRead_ = true;
        }
        size_t given = answers_.size() - used_;
        scripted_.SetAnswers({answers_.begin() + static_cast<std::ptrdiff_t>(used_), answers_.end()});
        struct Used {
            ApplicationObject& self;
            size_t given;
            ~Used() { self.used_ += given - self.scripted_.AnswersLeft(); }
        };
        int16_t answer;
        {
            Used used{*this, given};
            answer = Call(hook, arguments);
        }
        if (const auto& failure = scripted_.Failure()) throw std::runtime_error("the scripted user: " + *failure);
        return answer;
    }

    // The arguments read as the hook's parameters (the session first); the in/out objects go back.
    int16_t Call(const Hook& hook, Arguments arguments) {
        auto session = SessionOver(arguments.Object(0));
        HookValues values;
        const auto parameters = hook.Parameters();
        for (UINT position = 1, texts = 0, objects = 0; position <= parameters.size(); ++position) {
            switch (parameters[position - 1].kind) {
            case HookParameterKind::Rows:
                values.rows = RecListOver(arguments.Object(position));
                break;
            case HookParameterKind::Text:
                values.texts[texts++] = arguments.Text(position);
                break;
            case HookParameterKind::Object:
            case HookParameterKind::InOutObject:
                values.objects[objects++] = ObjectOver(arguments.Object(position));
                break;
            }
        }
        int16_t answer = hook.call(*application_, session, values);
        for (UINT position = 1, objects = 0; position <= parameters.size(); ++position) {
            const HookParameterKind kind = parameters[position - 1].kind;
            if (kind == HookParameterKind::InOutObject) arguments.SetObject(position, values.objects[objects]);
            if (kind == HookParameterKind::Object || kind == HookParameterKind::InOutObject) ++objects;
        }
        return answer;
    }

    static HRESULT Failed(EXCEPINFO* exception, const std::string& description) {
        if (exception) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(L"Quendra.Application");
            std::wstring text = Wide(description);
            exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            exception->scode = HookFailed;
        }
        return DISP_E_EXCEPTION;
    }

    // The component's windows are native windows, modal on the calling thread, unless a scripted
    // user answers them from the file that QUENDRA_ANSWERS names.
    win32::Win32WindowSystem windows_;
    scripted::ScriptedUser scripted_;
    std::string answersFile_ = AnswersFileSetting();
    std::vector<answering::Answer> answers_;
    size_t used_ = 0;
    bool answersRead_ = false;
    // A host in the same process may hand its own windows instead (HostWindows.h).
    std::unique_ptr<BoundaryWindows> received_;
    std::optional<Application> application_;
    log::HookLog log_;
};

} // namespace

IDispatch* CreateApplicationObject() {
    return new (std::nothrow) ApplicationObject();
}

} // namespace quendra::com
