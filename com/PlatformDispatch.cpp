// The platform interfaces offered over automation. Every member is an operation of the name table:
// its arguments are read from variants in the types the operation takes, and its answer is written
// as a variant (an object as another automation object of this kind). A platform failure reaches
// the caller as DISP_E_EXCEPTION holding its text.
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

#define QUENDRA_INTERFACES(X)                                                                                          \
    X(CvAttributeDef)                                                                                                  \
    X(CvAttributeDefs)                                                                                                 \
    X(CvClass)                                                                                                         \
    X(CvClassLinks)                                                                                                    \
    X(CvCommonGUI)                                                                                                     \
    X(CvDesktopWindow)                                                                                                 \
    X(CvDialogMaker)                                                                                                   \
    X(CvDispatch)                                                                                                      \
    X(CvFlowEntries)                                                                                                   \
    X(CvFlowEntry)                                                                                                     \
    X(CvFlowNode)                                                                                                      \
    X(CvFlowProcess)                                                                                                   \
    X(CvFlowStep)                                                                                                      \
    X(CvFlowStore)                                                                                                     \
    X(CvFlowTarget)                                                                                                    \
    X(CvFlowTargets)                                                                                                   \
    X(CvFlowWorkList)                                                                                                  \
    X(CvGUIDialog)                                                                                                     \
    X(CvGUINotifier)                                                                                                   \
    X(CvGUIQuery)                                                                                                      \
    X(CvGUISelection)                                                                                                  \
    X(CvGUIServices)                                                                                                   \
    X(CvGUIView)                                                                                                       \
    X(CvIntegrationStore)                                                                                              \
    X(CvLinkClasses)                                                                                                   \
    X(CvLookupEntry)                                                                                                   \
    X(CvLookupTable)                                                                                                   \
    X(CvMetaInfo)                                                                                                      \
    X(CvNewObjectDialog)                                                                                               \
    X(CvObject)                                                                                                        \
    X(CvObjectStore)                                                                                                   \
    X(CvObjects)                                                                                                       \
    X(CvQuery)                                                                                                         \
    X(CvQueryClasses)                                                                                                  \
    X(CvQueryColumns)                                                                                                  \
    X(CvQueryConditions)                                                                                               \
    X(CvQueryDef)                                                                                                      \
    X(CvQuerySpec)                                                                                                     \
    X(CvRecList)                                                                                                       \
    X(CvRecord)                                                                                                        \
    X(CvRecordHeader)                                                                                                  \
    X(CvReference)                                                                                                     \
    X(CvSequence)                                                                                                      \
    X(CvSequences)                                                                                                     \
    X(CvSession)                                                                                                       \
    X(CvSessionUtil)                                                                                                   \
    X(CvTreeLink)                                                                                                      \
    X(CvTreeLinks)                                                                                                     \
    X(CvUpdateOptions)                                                                                                 \
    X(CvUserInfo)                                                                                                      \
    X(CvViewMaker)

// A platform object of any interface, viewed as each interface it implements (null where it does not).
class Held {
public:
    explicit Held(std::shared_ptr<void> keepAlive) : keepAlive(std::move(keepAlive)) {}
    virtual ~Held() = default;
#define QUENDRA_AS(T) virtual T* As##T() const = 0;
    QUENDRA_INTERFACES(QUENDRA_AS)
#undef QUENDRA_AS
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
    QUENDRA_INTERFACES(QUENDRA_AS)
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
QUENDRA_INTERFACES(QUENDRA_CAST)
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
    Operation operation;
    Implements implemented;
    Call call;
};

template <auto Member> constexpr Binding Bind(Operation operation) {
    return {operation, &Binder<Member>::Implemented, &Binder<Member>::Invoke};
}

// Every operation of the name table; a member's DISPID is its position here from 1.
const Binding bindings[] = {
    Bind<&CvSession::ObjectStore>(Operation::CvSessionObjectStore),
    Bind<&CvSession::MetaInfo>(Operation::CvSessionMetaInfo),
    Bind<&CvSession::CurrentUser>(Operation::CvSessionCurrentUser),
    Bind<&CvSession::CreateObject>(Operation::CvSessionCreateObject),
    Bind<&CvUserInfo::UserObjectId>(Operation::CvUserInfoUserObjectId),
    Bind<&CvUserInfo::IsAdministrator>(Operation::CvUserInfoIsAdministrator),
    Bind<&CvRecList::RecordAt>(Operation::CvRecListRecordAt),
    Bind<&CvRecList::RowCount>(Operation::CvRecListRowCount),
    Bind<&CvRecList::RecordCount>(Operation::CvRecListRecordCount),
    Bind<&CvRecList::KeyAt>(Operation::CvRecListKeyAt),
    Bind<&CvRecList::RecordByKey>(Operation::CvRecListRecordByKey),
    Bind<&CvRecList::ValueAsInt16>(Operation::CvRecListValueAsInt16),
    Bind<&CvRecList::ValueAsInt32>(Operation::CvRecListValueAsInt32),
    Bind<&CvRecList::ValueAt>(Operation::CvRecListValueAt),
    Bind<&CvRecordHeader::ContainsColumn>(Operation::CvRecordHeaderContainsColumn),
    Bind<&CvRecord::ValueAsText>(Operation::CvRecordValueAsText),
    Bind<&CvRecord::ValueAsInt16>(Operation::CvRecordValueAsInt16),
    Bind<&CvRecord::ValueAsInt32>(Operation::CvRecordValueAsInt32),
    Bind<&CvRecord::ValueAsBool>(Operation::CvRecordValueAsBool),
    Bind<&CvRecord::GetValue>(Operation::CvRecordGetValue),
    Bind<&CvRecord::SetValueAsText>(Operation::CvRecordSetValueAsText),
    Bind<&CvRecord::SetValueAsInt16>(Operation::CvRecordSetValueAsInt16),
    Bind<&CvRecord::SetValueAsInt32>(Operation::CvRecordSetValueAsInt32),
    Bind<&CvRecord::SetValueAsDouble>(Operation::CvRecordSetValueAsDouble),
    Bind<&CvRecord::SetValueAsBool>(Operation::CvRecordSetValueAsBool),
    Bind<&CvRecord::SetValue>(Operation::CvRecordSetValue),
    Bind<&CvRecord::Header>(Operation::CvRecordHeader),
    Bind<&CvUpdateOptions::Copy>(Operation::CvUpdateOptionsCopy),
    Bind<&CvUpdateOptions::SetMode>(Operation::CvUpdateOptionsSetMode),
    Bind<&CvUpdateOptions::SetFirstSwitch>(Operation::CvUpdateOptionsSetFirstSwitch),
    Bind<&CvUpdateOptions::SetSecondSwitch>(Operation::CvUpdateOptionsSetSecondSwitch),
    Bind<&CvUpdateOptions::SetThirdSetting>(Operation::CvUpdateOptionsSetThirdSetting),
    Bind<&CvUpdateOptions::SetFourthSetting>(Operation::CvUpdateOptionsSetFourthSetting),
    Bind<&CvObjectStore::ObjectFromRecord>(Operation::CvObjectStoreObjectFromRecord),
    Bind<&CvObjectStore::ObjectsFromRecList>(Operation::CvObjectStoreObjectsFromRecList),
    Bind<&CvObjectStore::ObjectById>(Operation::CvObjectStoreObjectById),
    Bind<&CvObjectStore::NewObject>(Operation::CvObjectStoreNewObject),
    Bind<&CvObjectStore::LinkByEnds>(Operation::CvObjectStoreLinkByEnds),
    Bind<&CvObjectStore::DefaultUpdateOptions>(Operation::CvObjectStoreDefaultUpdateOptions),
    Bind<&CvObjectStore::NewObjectList>(Operation::CvObjectStoreNewObjectList),
    Bind<&CvObjectStore::Sequences>(Operation::CvObjectStoreSequences),
    Bind<&CvObjectStore::NewSqlQuery>(Operation::CvObjectStoreNewSqlQuery),
    Bind<&CvObjectStore::NewQueryDef>(Operation::CvObjectStoreNewQueryDef),
    Bind<&CvObjectStore::LookupTable>(Operation::CvObjectStoreLookupTable),
    Bind<&CvObjectStore::Session>(Operation::CvObjectStoreSession),
    Bind<&CvObject::WorkingObject>(Operation::CvObjectWorkingObject),
    Bind<&CvObject::Retrieve>(Operation::CvObjectRetrieve),
    Bind<&CvObject::AddAttributesToRetrieve>(Operation::CvObjectAddAttributesToRetrieve),
    Bind<&CvObject::Class>(Operation::CvObjectClass),
    Bind<&CvObject::ClassId>(Operation::CvObjectClassId),
    Bind<&CvObject::ObjectId>(Operation::CvObjectObjectId),
    Bind<&CvObject::Data>(Operation::CvObjectData),
    Bind<&CvObject::DisplayText>(Operation::CvObjectDisplayText),
    Bind<&CvObject::InitialiseNew>(Operation::CvObjectInitialiseNew),
    Bind<&CvObject::PrepareNew>(Operation::CvObjectPrepareNew),
    Bind<&CvObject::Store>(Operation::CvObjectStore),
    Bind<&CvObject::Insert>(Operation::CvObjectInsert),
    Bind<&CvObject::Update>(Operation::CvObjectUpdate),
    Bind<&CvObject::Delete>(Operation::CvObjectDelete),
    Bind<&CvObject::NewLink>(Operation::CvObjectNewLink),
    Bind<&CvObject::NewLinkTo>(Operation::CvObjectNewLinkTo),
    Bind<&CvObject::LinkUnderParent>(Operation::CvObjectLinkUnderParent),
    Bind<&CvObject::LinkToParent>(Operation::CvObjectLinkToParent),
    Bind<&CvObject::AttachToParent>(Operation::CvObjectAttachToParent),
    Bind<&CvObject::RemoveLink>(Operation::CvObjectRemoveLink),
    Bind<&CvObject::Children>(Operation::CvObjectChildren),
    Bind<&CvObject::TreeLinks>(Operation::CvObjectTreeLinks),
    Bind<&CvObject::ReferencedObject>(Operation::CvObjectReferencedObject),
    Bind<&CvObject::AttributeDefs>(Operation::CvObjectAttributeDefs),
    Bind<&CvObject::ObjectStore>(Operation::CvObjectObjectStore),
    Bind<&CvObjects::Add>(Operation::CvObjectsAdd),
    Bind<&CvObjects::Count>(Operation::CvObjectsCount),
    Bind<&CvObjects::Item>(Operation::CvObjectsItem),
    Bind<&CvTreeLinks::Count>(Operation::CvTreeLinksCount),
    Bind<&CvTreeLinks::Item>(Operation::CvTreeLinksItem),
    Bind<&CvTreeLink::WorkingEntry>(Operation::CvTreeLinkWorkingEntry),
    Bind<&CvTreeLink::Element>(Operation::CvTreeLinkElement),
    Bind<&CvSequences::SequenceByName>(Operation::CvSequencesSequenceByName),
    Bind<&CvSequence::NextValue>(Operation::CvSequenceNextValue),
    Bind<&CvMetaInfo::ClassByName>(Operation::CvMetaInfoClassByName),
    Bind<&CvMetaInfo::ClassById>(Operation::CvMetaInfoClassById),
    Bind<&CvMetaInfo::LinkClassBetween>(Operation::CvMetaInfoLinkClassBetween),
    Bind<&CvClass::ClassId>(Operation::CvClassClassId),
    Bind<&CvClass::SuperClassId>(Operation::CvClassSuperClassId),
    Bind<&CvClass::Name>(Operation::CvClassName),
    Bind<&CvClass::DisplayName>(Operation::CvClassDisplayName),
    Bind<&CvClass::BelongsToClass>(Operation::CvClassBelongsToClass),
    Bind<&CvClass::IncludesClass>(Operation::CvClassIncludesClass),
    Bind<&CvClass::HasAttribute>(Operation::CvClassHasAttribute),
    Bind<&CvClass::AttributeDefs>(Operation::CvClassAttributeDefs),
    Bind<&CvClass::LinkClasses>(Operation::CvClassLinkClasses),
    Bind<&CvClassLinks::LinkClassesTo>(Operation::CvClassLinksLinkClassesTo),
    Bind<&CvLinkClasses::Count>(Operation::CvLinkClassesCount),
    Bind<&CvLinkClasses::Item>(Operation::CvLinkClassesItem),
    Bind<&CvAttributeDefs::DefinitionByName>(Operation::CvAttributeDefsDefinitionByName),
    Bind<&CvAttributeDefs::Count>(Operation::CvAttributeDefsCount),
    Bind<&CvAttributeDefs::Item>(Operation::CvAttributeDefsItem),
    Bind<&CvAttributeDefs::KeyOf>(Operation::CvAttributeDefsKeyOf),
    Bind<&CvAttributeDef::Name>(Operation::CvAttributeDefName),
    Bind<&CvAttributeDef::DisplayName>(Operation::CvAttributeDefDisplayName),
    Bind<&CvAttributeDef::TypeCode>(Operation::CvAttributeDefTypeCode),
    Bind<&CvAttributeDef::IsMandatory>(Operation::CvAttributeDefIsMandatory),
    Bind<&CvAttributeDef::IsPrimary>(Operation::CvAttributeDefIsPrimary),
    Bind<&CvAttributeDef::LookupTableId>(Operation::CvAttributeDefLookupTableId),
    Bind<&CvAttributeDef::Reference>(Operation::CvAttributeDefReference),
    Bind<&CvReference::ReferenceText>(Operation::CvReferenceReferenceText),
    Bind<&CvReference::DisplayAttributes>(Operation::CvReferenceDisplayAttributes),
    Bind<&CvLookupTable::Count>(Operation::CvLookupTableCount),
    Bind<&CvLookupTable::Item>(Operation::CvLookupTableItem),
    Bind<&CvLookupTable::ItemByText>(Operation::CvLookupTableItemByText),
    Bind<&CvLookupEntry::Text>(Operation::CvLookupEntryText),
    Bind<&CvLookupEntry::Code>(Operation::CvLookupEntryCode),
    Bind<&CvQuery::SetSqlText>(Operation::CvQuerySetSqlText),
    Bind<&CvQuery::Run>(Operation::CvQueryRun),
    Bind<&CvQuery::Result>(Operation::CvQueryResult),
    Bind<&CvQueryDef::Specification>(Operation::CvQueryDefSpecification),
    Bind<&CvQueryDef::Run>(Operation::CvQueryDefRun),
    Bind<&CvQueryDef::RunWithOptions>(Operation::CvQueryDefRunWithOptions),
    Bind<&CvQueryDef::Result>(Operation::CvQueryDefResult),
    Bind<&CvQueryDef::RowCount>(Operation::CvQueryDefRowCount),
    Bind<&CvQuerySpec::Classes>(Operation::CvQuerySpecClasses),
    Bind<&CvQuerySpec::Columns>(Operation::CvQuerySpecColumns),
    Bind<&CvQuerySpec::Conditions>(Operation::CvQuerySpecConditions),
    Bind<&CvQueryClasses::AddClass>(Operation::CvQueryClassesAddClass),
    Bind<&CvQueryColumns::AddColumn>(Operation::CvQueryColumnsAddColumn),
    Bind<&CvQueryConditions::AddCondition>(Operation::CvQueryConditionsAddCondition),
    Bind<&CvGUIServices::ObjectViewNotifier>(Operation::CvGUIServicesObjectViewNotifier),
    Bind<&CvGUINotifier::NotifyObjects>(Operation::CvGUINotifierNotifyObjects),
    Bind<&CvCommonGUI::ViewMaker>(Operation::CvCommonGUIViewMaker),
    Bind<&CvCommonGUI::DialogMaker>(Operation::CvCommonGUIDialogMaker),
    Bind<&CvCommonGUI::DesktopWindow>(Operation::CvCommonGUIDesktopWindow),
    Bind<&CvViewMaker::MakeView>(Operation::CvViewMakerMakeView),
    Bind<&CvDialogMaker::RunQueryDialog>(Operation::CvDialogMakerRunQueryDialog),
    Bind<&CvGUIDialog::View>(Operation::CvGUIDialogView),
    Bind<&CvGUIDialog::Close>(Operation::CvGUIDialogClose),
    Bind<&CvGUIDialog::SetOption>(Operation::CvGUIDialogSetOption),
    Bind<&CvGUIDialog::Prepare>(Operation::CvGUIDialogPrepare),
    Bind<&CvGUIDialog::Show>(Operation::CvGUIDialogShow),
    Bind<&CvGUIView::Selection>(Operation::CvGUIViewSelection),
    Bind<&CvGUIView::Contents>(Operation::CvGUIViewContents),
    Bind<&CvGUIView::ResultDialog>(Operation::CvGUIViewResultDialog),
    Bind<&CvGUIView::RefreshObjects>(Operation::CvGUIViewRefreshObjects),
    Bind<&CvGUISelection::Query>(Operation::CvGUISelectionQuery),
    Bind<&CvGUISelection::SetQuery>(Operation::CvGUISelectionSetQuery),
    Bind<&CvGUISelection::Objects>(Operation::CvGUISelectionObjects),
    Bind<&CvDesktopWindow::View>(Operation::CvDesktopWindowView),
    Bind<&CvIntegrationStore::NewObjectDialog>(Operation::CvIntegrationStoreNewObjectDialog),
    Bind<&CvNewObjectDialog::Show>(Operation::CvNewObjectDialogShow),
    Bind<&CvSessionUtil::ShowObject>(Operation::CvSessionUtilShowObject),
    Bind<&CvFlowStore::WorkList>(Operation::CvFlowStoreWorkList),
    Bind<&CvFlowStore::NewProcess>(Operation::CvFlowStoreNewProcess),
    Bind<&CvFlowWorkList::Entries>(Operation::CvFlowWorkListEntries),
    Bind<&CvFlowEntries::Count>(Operation::CvFlowEntriesCount),
    Bind<&CvFlowEntries::Entry>(Operation::CvFlowEntriesEntry),
    Bind<&CvFlowEntry::Object>(Operation::CvFlowEntryObject),
    Bind<&CvFlowEntry::Take>(Operation::CvFlowEntryTake),
    Bind<&CvFlowEntry::CurrentStep>(Operation::CvFlowEntryCurrentStep),
    Bind<&CvFlowEntry::Definition>(Operation::CvFlowEntryDefinition),
    Bind<&CvFlowEntry::CanForwardTo>(Operation::CvFlowEntryCanForwardTo),
    Bind<&CvFlowNode::NextTargets>(Operation::CvFlowNodeNextTargets),
    Bind<&CvFlowTargets::Item>(Operation::CvFlowTargetsItem),
    Bind<&CvFlowStep::Forward>(Operation::CvFlowStepForward),
    Bind<&CvFlowProcess::Object>(Operation::CvFlowProcessObject),
    Bind<&CvFlowProcess::Attach>(Operation::CvFlowProcessAttach),
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
            const char* automationName = NameOf(bindings[i].operation).automationName;
            if (_stricmp(automationName, name.c_str()) == 0 && bindings[i].implemented(*held_)) {
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
            const OperationName& name = NameOf(binding.operation);
            return Failed(exception, std::string(name.interfaceName) + "." + name.operationName, error.what());
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
