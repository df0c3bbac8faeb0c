// Quendra.Platform: the embedded platform for scripts, its objects offered over automation.
//
// The component's headers come before the Windows headers: <windows.h> defines MessageBox and
// CreateWindow as macros, which would rename the scripted user's members here.
// SPDX-License-Identifier: Apache-2.0
#include "Database.h"
#include "JsonCursor.h"
#include "ScenarioParser.h"
#include "ScriptedUser.h"
#include "World.h"

#include "ComObject.h"
#include "EmbeddedPlatformObject.h"
#include "PlatformDispatch.h"

#include <cwchar>
#include <deque>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quendra::com {

namespace {

enum MemberId : DISPID { IdOpen = 1, IdLogIn, IdRecList, IdObject, IdAnswer, IdFailure };

struct Member {
    const wchar_t* name;
    UINT leastArguments, mostArguments;
};

// Open(file), LogIn(login), RecList(rows[, storedLinks]), Object(ref), Answer(answers), Failure().
constexpr Member members[] = {
    {L"Open", 1, 1}, {L"LogIn", 1, 1}, {L"RecList", 1, 2}, {L"Object", 1, 1}, {L"Answer", 1, 1}, {L"Failure", 0, 0},
};

struct WrongArgument {};

class EmbeddedPlatformObject final : public ComObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Answer(iid, object, {&IID_IDispatch});
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

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (size_t i = 0; i < std::size(members); ++i)
            if (_wcsicmp(names[0], members[i].name) == 0) ids[0] = static_cast<DISPID>(i + 1);
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (id < IdOpen || id > IdFailure || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            return DISP_E_MEMBERNOTFOUND;
        if (!parameters) return E_INVALIDARG;
        if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        const Member& member = members[id - 1];
        if (parameters->cArgs < member.leastArguments || parameters->cArgs > member.mostArguments)
            return DISP_E_BADPARAMCOUNT;
        try {
            Variant answer = Call(static_cast<MemberId>(id), *parameters);
            if (result) {
                VariantInit(result);
                VariantCopy(result, &answer.Raw());
            }
            return S_OK;
        } catch (const WrongArgument&) {
            return DISP_E_TYPEMISMATCH;
        } catch (const std::exception& error) {
            if (exception) {
                *exception = EXCEPINFO{};
                exception->bstrSource = SysAllocString(L"Quendra.Platform");
                std::wstring text = Wide(error.what());
                exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
                exception->scode = E_FAIL;
            }
            return DISP_E_EXCEPTION;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }

private:
    static Variant Argument(DISPPARAMS& parameters, UINT position) {
        Variant copy;
        if (FAILED(
                VariantCopyInd(&copy.Raw(), Source(Dereferenced(parameters.rgvarg[parameters.cArgs - 1 - position])))))
            throw WrongArgument{};
        return copy;
    }

    static std::string Text(DISPPARAMS& parameters, UINT position) {
        Variant copy = Argument(parameters, position);
        if (copy.Raw().vt == VT_DISPATCH || copy.Raw().vt == VT_UNKNOWN) throw WrongArgument{};
        return copy.ToValue().AsText();
    }

    // The JSON text of a scenario file's value: a list or object as written, or else a plain ref.
    Json Parse(const std::string& text, const std::string& what) {
        if (!text.empty() && (text.front() == '[' || text.front() == '{')) return JsonCursor::Parse(text, what);
        return Json(text);
    }

    playback::World& TheWorld() {
        if (!world_) throw std::runtime_error("no database is open: call Open(file) first");
        return *world_;
    }

    Variant Call(MemberId id, DISPPARAMS& parameters) {
        switch (id) {
        case IdOpen: {
            auto file = Text(parameters, 0);
            world_.reset();
            session_.reset();
            database_ = embedded::Database::Open(file);
            world_.emplace(*database_, *dialogs_, file);
            return {};
        }
        case IdLogIn: {
            auto login = Text(parameters, 0);
            if (!TheWorld().Database().UserId(login)) throw std::runtime_error("there is no user \"" + login + "\"");
            session_ = database_->Login(login, *dialogs_);
            // Refs are resolved as this user sees the data model.
            world_->SetDefaultUser(login);
            return Variant::Object(DispatchOver(session_, KeepAlive()));
        }
        case IdRecList: {
            auto text = Text(parameters, 0);
            bool storedLinks = parameters.cArgs > 1 && Argument(parameters, 1).ToValue().AsBool();
            Json rows = Parse(text, "RecList");
            if (!rows.is_array()) rows = Json::array({rows});
            JsonCursor list(rows, "", "RecList");
            playback::ScenarioParser parser;
            std::vector<embedded::HookRow> made;
            for (const auto& row : list.Items()) made.push_back(TheWorld().MakeRow(parser.ParseRow(row), storedLinks));
            return Variant::Object(DispatchOver(TheWorld().Database().MakeRecList(made), KeepAlive()));
        }
        case IdObject: {
            auto text = Text(parameters, 0);
            if (!session_) throw std::runtime_error("nobody is logged in: call LogIn(login) first");
            Json ref = Parse(text, "Object");
            playback::ScenarioParser parser;
            auto arg = parser.ParseObjectArg(JsonCursor(ref, "", "Object"));
            return Variant::Object(DispatchOver(TheWorld().MakeObject(*session_, arg), KeepAlive()));
        }
        case IdAnswer: {
            Json answers = Parse(Text(parameters, 0), "Answer");
            playback::ScenarioParser parser;
            std::vector<answering::Answer> made;
            for (const auto& answer : parser.ParseAnswers(JsonCursor(answers, "", "Answer")))
                made.push_back(TheWorld().MakeAnswer(answer));
            dialogs_->SetAnswers(std::move(made));
            return {};
        }
        case IdFailure: {
            // The first answer since Answer that did not fit the platform's dialogs, or an answer left.
            if (dialogs_->Failure()) return Variant::Text(*dialogs_->Failure());
            if (dialogs_->AnswersLeft() > 0)
                return Variant::Text(std::to_string(dialogs_->AnswersLeft()) + " answers left");
            return Variant::Text("");
        }
        }
        return {};
    }

    // What the objects handed out need alive, held by each of them too: a script may keep them longer
    // than this object.
    std::shared_ptr<void> KeepAlive() const {
        return std::make_shared<
            std::pair<std::shared_ptr<scripted::ScriptedUser>, std::shared_ptr<embedded::Database>>>(dialogs_,
                                                                                                     database_);
    }

    // The platform's own dialogs (search, new object) are answered by what Answer gave.
    std::shared_ptr<scripted::ScriptedUser> dialogs_ = std::make_shared<scripted::ScriptedUser>();
    std::shared_ptr<embedded::Database> database_;
    std::optional<playback::World> world_;
    Ptr<CvSession> session_;
};

} // namespace

IDispatch* CreateEmbeddedPlatformObject() {
    return new (std::nothrow) EmbeddedPlatformObject();
}

} // namespace quendra::com
