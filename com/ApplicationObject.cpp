// ApplicationObject: the eighteen hooks of Quendra.Application over IDispatch.
//
// The component's headers come before the Windows headers: <windows.h> defines MessageBox and
// CreateWindow as macros, which would rename the window system's members here.
#include "Application.h"
#include "HookLog.h"
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

// The DISPIDs of the hooks, in the order of the method table.
enum HookId : DISPID {
    IdAddExistingPart = 1,
    IdAddMainPart,
    IdAddNewPart,
    IdAfterCheckInDocuments,
    IdBeforeAddPartsTreeLink,
    IdBeforeCheckOutReleaseDocs,
    IdBeforeDeleteDocuments,
    IdBeforeNewReleaseObj,
    IdBeforeUpdate,
    IdCopyTreeFrom,
    IdDeleteLink,
    IdLinkUpdate,
    IdLockObject,
    IdReplacePart,
    IdReplacePartByNewPart,
    IdUnLockObject,
    IdUploadDocument,
    IdIsLockedForUpdate,
};

struct Hook {
    const wchar_t* name;
    UINT parameters;
};

// The method table; a hook's DISPID is its position from 1.
constexpr Hook hooks[] = {
    {L"AddExistingPart", 3},
    {L"AddMainPart", 2},
    {L"AddNewPart", 3},
    {L"AfterCheckInDocuments", 2},
    {L"BeforeAddPartsTreeLink", 2},
    {L"BeforeCheckOutReleaseDocs", 3},
    {L"BeforeDeleteDocuments", 2},
    {L"BeforeNewReleaseObj", 2},
    {L"BeforeUpdate", 3},
    {L"CopyTreeFrom", 4},
    {L"DeleteLink", 2},
    {L"LinkUpdate", 3},
    {L"LockObject", 2},
    {L"ReplacePart", 3},
    {L"ReplacePartByNewPart", 4},
    {L"UnLockObject", 2},
    {L"UploadDocument", 4},
    {L"IsLockedForUpdate", 2},
};

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
        for (size_t i = 0; i < std::size(hooks); ++i)
            if (_wcsicmp(names[0], hooks[i].name) == 0) ids[0] = static_cast<DISPID>(i + 1);
        // Arguments are positional: parameter names are not known.
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (id < 1 || id > IdIsLockedForUpdate) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
        if (!parameters) return E_INVALIDARG;
        if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (parameters->cArgs != hooks[id - 1].parameters) return DISP_E_BADPARAMCOUNT;
        auto started = std::chrono::steady_clock::now();
        std::optional<int16_t> answered;
        std::string failure;
        HRESULT code = S_OK;
        try {
            answered = CallAnswered(id, Arguments(*parameters));
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
        log_.Append(Utf8(hooks[id - 1].name, std::wcslen(hooks[id - 1].name)), answered,
                    std::chrono::steady_clock::now() - started, failure);
        return code;
    }

private:
    // With QUENDRA_ANSWERS set, each call takes the answers that earlier calls left, in order; a
    // window that the answers do not fit makes the call fail with what did not fit.
    int16_t CallAnswered(DISPID id, Arguments arguments) {
        if (answersFile_.empty()) return Call(id, arguments);
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
            answer = Call(id, arguments);
        }
        if (const auto& failure = scripted_.Failure()) throw std::runtime_error("the scripted user: " + *failure);
        return answer;
    }

    int16_t Call(DISPID id, Arguments arguments) {
        auto session = SessionOver(arguments.Object(0));
        if (id == IdCopyTreeFrom) {
            auto obj = ObjectOver(arguments.Object(1));
            auto fromObj = ObjectOver(arguments.Object(2));
            auto linkAttributes = arguments.Text(3);
            int16_t answer = application_->CopyTreeFrom(session, obj, fromObj, linkAttributes);
            arguments.SetObject(2, fromObj);
            return answer;
        }
        auto recList = RecListOver(arguments.Object(1));
        switch (id) {
        case IdAddExistingPart: {
            auto linkAttributes = arguments.Text(2);
            return application_->AddExistingPart(session, recList, linkAttributes);
        }
        case IdAddMainPart:
            return application_->AddMainPart(session, recList);
        case IdAddNewPart: {
            auto linkAttributes = arguments.Text(2);
            return application_->AddNewPart(session, recList, linkAttributes);
        }
        case IdAfterCheckInDocuments:
            return application_->AfterCheckInDocuments(session, recList);
        case IdBeforeAddPartsTreeLink:
            return application_->BeforeAddPartsTreeLink(session, recList);
        case IdBeforeCheckOutReleaseDocs: {
            auto selectOp = arguments.Text(2);
            return application_->BeforeCheckOutReleaseDocs(session, recList, selectOp);
        }
        case IdBeforeDeleteDocuments:
            return application_->BeforeDeleteDocuments(session, recList);
        case IdBeforeNewReleaseObj:
            return application_->BeforeNewReleaseObj(session, recList);
        case IdBeforeUpdate: {
            auto selectOp = arguments.Text(2);
            return application_->BeforeUpdate(session, recList, selectOp);
        }
        case IdDeleteLink:
            return application_->DeleteLink(session, recList);
        case IdLinkUpdate: {
            auto linkAttributes = arguments.Text(2);
            return application_->LinkUpdate(session, recList, linkAttributes);
        }
        case IdLockObject:
            return application_->LockObject(session, recList);
        case IdReplacePart: {
            auto linkAttributes = arguments.Text(2);
            return application_->ReplacePart(session, recList, linkAttributes);
        }
        case IdReplacePartByNewPart: {
            auto linkAttributes = arguments.Text(2);
            auto myNewPart = ObjectOver(arguments.Object(3));
            int16_t answer = application_->ReplacePartByNewPart(session, recList, linkAttributes, myNewPart);
            arguments.SetObject(3, myNewPart);
            return answer;
        }
        case IdUnLockObject:
            return application_->UnLockObject(session, recList);
        case IdUploadDocument: {
            auto extensions = arguments.Text(2);
            auto fileTypes = arguments.Text(3);
            return application_->UploadDocument(session, recList, extensions, fileTypes);
        }
        default: // Invoke lets only the eighteen DISPIDs through: this is IdIsLockedForUpdate.
            return application_->IsLockedForUpdate(session, recList);
        }
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
    std::vector<scripted::Answer> answers_;
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
