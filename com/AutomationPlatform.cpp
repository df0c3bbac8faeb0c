// The platform interfaces on automation objects. Every operation calls the member that the
// name table gives for it; values cross as variants (VT_I2, VT_I4, VT_BSTR, VT_BOOL, VT_R8,
// VT_DATE, VT_EMPTY for none).
#include "AutomationPlatform.h"

#include "AutomationNames.h"
#include "CvError.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quendra::com {

namespace {

// What every adapter holds: the automation object, called by the names of the table.
class AutomationObject {
public:
    explicit AutomationObject(DispatchPtr object) : object_(std::move(object)) {}
    virtual ~AutomationObject() = default;
    const DispatchPtr& Dispatch() const { return object_; }

protected:
    Variant Call(Operation operation, std::vector<Variant> arguments = {}) const {
        const OperationName& name = NameOf(operation);
        return CallByName(object_.Get(), name.automationName, arguments,
                          std::string(name.interfaceName) + ": " + name.operationName);
    }

private:
    DispatchPtr object_;
};

template <typename T> DispatchPtr DispatchOf(const Ptr<T>& object) {
    if (!object) return {};
    auto* automation = dynamic_cast<const AutomationObject*>(object.get());
    if (!automation) throw CvError("an object that did not come from the platform cannot be passed to it");
    return automation->Dispatch();
}

enum class Answer { Required, NoneAllowed };

template <typename T> struct AdapterOf;

// The platform's answer as the interface the component expects; none only where it may be.
template <typename T> Ptr<T> Adapt(const Variant& answer, Answer mode);

class AutoSession final : public CvSession, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvObjectStore> ObjectStore() override;
    Ptr<CvMetaInfo> MetaInfo() override;
    Ptr<CvUserInfo> CurrentUser() override;
    Ptr<CvDispatch> CreateObject(const std::string& progId) override;
};

class AutoUserInfo final : public CvUserInfo, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t UserObjectId() override;
    bool IsAdministrator() override;
};

class AutoRecList final : public CvRecList, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvRecord> RecordAt(int32_t row) override;
    int32_t RowCount() override;
    int32_t RecordCount() override;
    std::string KeyAt(int32_t position) override;
    Ptr<CvRecord> RecordByKey(const std::string& key, int32_t row) override;
    int16_t ValueAsInt16(const std::string& column, int32_t row) override;
    int32_t ValueAsInt32(const std::string& column, int32_t row) override;
    Value ValueAt(int32_t columnPosition, int32_t row) override;
};

class AutoRecordHeader final : public CvRecordHeader, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    bool ContainsColumn(const std::string& name) override;
};

class AutoRecord final : public CvRecord, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    std::string ValueAsText(const std::string& name) override;
    int16_t ValueAsInt16(const std::string& name) override;
    int32_t ValueAsInt32(const std::string& name) override;
    bool ValueAsBool(const std::string& name) override;
    Value GetValue(const std::string& name) override;
    void SetValueAsText(const std::string& name, const std::string& value) override;
    void SetValueAsInt16(const std::string& name, int16_t value) override;
    void SetValueAsInt32(const std::string& name, int32_t value) override;
    void SetValueAsDouble(const std::string& name, double value) override;
    void SetValueAsBool(const std::string& name, bool value) override;
    void SetValue(const std::string& name, const Value& value) override;
    Ptr<CvRecordHeader> Header() override;
};

class AutoUpdateOptions final : public CvUpdateOptions, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvUpdateOptions> Copy() override;
    void SetMode(int16_t mode) override;
    void SetFirstSwitch(bool on) override;
    void SetSecondSwitch(bool on) override;
    void SetThirdSetting(int16_t setting) override;
    void SetFourthSetting(int16_t setting) override;
};

class AutoObjectStore final : public CvObjectStore, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvObject> ObjectFromRecord(const Ptr<CvRecord>& record, bool flag) override;
    Ptr<CvObjects> ObjectsFromRecList(const Ptr<CvRecList>& recList, bool flag) override;
    Ptr<CvObject> ObjectById(int16_t classId, int32_t objectId) override;
    Ptr<CvObject> NewObject(int16_t classId) override;
    Ptr<CvObject> LinkByEnds(int16_t linkClassId, int16_t parentClassId, int32_t parentObjectId, int16_t childClassId,
                             int32_t childObjectId) override;
    Ptr<CvUpdateOptions> DefaultUpdateOptions() override;
    Ptr<CvObjects> NewObjectList() override;
    Ptr<CvSequences> Sequences() override;
    Ptr<CvQuery> NewSqlQuery() override;
    Ptr<CvQueryDef> NewQueryDef() override;
    Ptr<CvLookupTable> LookupTable(int16_t tableId) override;
    Ptr<CvSession> Session() override;
};

class AutoObject final : public CvObject, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvObject> WorkingObject() override;
    void Retrieve() override;
    void AddAttributesToRetrieve(const std::string& namesJoinedBySemicolon) override;
    Ptr<CvClass> Class() override;
    int16_t ClassId() override;
    int32_t ObjectId() override;
    Ptr<CvRecord> Data() override;
    std::string DisplayText(const std::string& separator) override;
    void InitialiseNew() override;
    void PrepareNew() override;
    void Store() override;
    void Insert(const Ptr<CvUpdateOptions>& options) override;
    void Update(const Ptr<CvUpdateOptions>& options) override;
    void Delete(const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvObject> NewLink(int16_t linkClassId, const Ptr<CvObject>& child) override;
    Ptr<CvObject> NewLinkTo(int16_t linkClassId, const Ptr<CvObject>& other) override;
    Ptr<CvObject> LinkUnderParent(const Ptr<CvObject>& parent, int32_t flag,
                                  const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvObject> LinkToParent(int16_t linkClassId, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                               const Ptr<CvUpdateOptions>& options) override;
    void AttachToParent(int32_t flag, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                        const Ptr<CvUpdateOptions>& options) override;
    void RemoveLink(int32_t flag, const Ptr<CvObject>& other, const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvObjects> Children(const Ptr<CvObject>& filter) override;
    Ptr<CvTreeLinks> TreeLinks(const Ptr<CvObject>& filter) override;
    Ptr<CvObject> ReferencedObject(int32_t key) override;
    Ptr<CvAttributeDefs> AttributeDefs() override;
    Ptr<CvObjectStore> ObjectStore() override;
};

class AutoObjects final : public CvObjects, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void Add(const Ptr<CvObject>& object) override;
    int32_t Count() override;
    Ptr<CvObject> Item(int32_t position) override;
};

class AutoTreeLinks final : public CvTreeLinks, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t Count() override;
    Ptr<CvTreeLink> Item(int32_t position) override;
};

class AutoTreeLink final : public CvTreeLink, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvTreeLink> WorkingEntry() override;
    Ptr<CvObject> Element(int32_t index) override;
};

class AutoSequences final : public CvSequences, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvSequence> SequenceByName(const std::string& name) override;
};

class AutoSequence final : public CvSequence, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    std::string NextValue() override;
};

class AutoMetaInfo final : public CvMetaInfo, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvClass> ClassByName(const std::string& name) override;
    Ptr<CvClass> ClassById(int16_t classId) override;
    int16_t LinkClassBetween(int16_t parentClassId, int16_t childClassId) override;
};

class AutoClass final : public CvClass, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int16_t ClassId() override;
    int16_t SuperClassId() override;
    std::string Name() override;
    std::string DisplayName() override;
    bool BelongsToClass(int16_t classId) override;
    bool IncludesClass(int16_t classId) override;
    bool HasAttribute(const std::string& name) override;
    Ptr<CvAttributeDefs> AttributeDefs() override;
    Ptr<CvClassLinks> LinkClasses() override;
};

class AutoClassLinks final : public CvClassLinks, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvLinkClasses> LinkClassesTo(int16_t otherClassId) override;
};

class AutoLinkClasses final : public CvLinkClasses, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t Count() override;
    Ptr<CvClass> Item(int32_t position) override;
};

class AutoAttributeDefs final : public CvAttributeDefs, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvAttributeDef> DefinitionByName(const std::string& name) override;
    int32_t Count() override;
    Ptr<CvAttributeDef> Item(int32_t position) override;
    int32_t KeyOf(const Ptr<CvAttributeDef>& definition) override;
};

class AutoAttributeDef final : public CvAttributeDef, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    std::string Name() override;
    std::string DisplayName() override;
    int32_t TypeCode() override;
    bool IsMandatory() override;
    bool IsPrimary(const std::string& name) override;
    int32_t LookupTableId() override;
    Ptr<CvReference> Reference() override;
};

class AutoReference final : public CvReference, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    std::string ReferenceText() override;
    Ptr<CvAttributeDefs> DisplayAttributes() override;
};

class AutoLookupTable final : public CvLookupTable, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t Count() override;
    Ptr<CvLookupEntry> Item(int16_t position) override;
    Ptr<CvLookupEntry> ItemByText(const std::string& text) override;
};

class AutoLookupEntry final : public CvLookupEntry, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    std::string Text() override;
    int32_t Code() override;
};

class AutoQuery final : public CvQuery, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void SetSqlText(const std::string& sql) override;
    void Run() override;
    Ptr<CvRecList> Result() override;
};

class AutoQueryDef final : public CvQueryDef, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvQuerySpec> Specification() override;
    void Run() override;
    void RunWithOptions(const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvRecList> Result() override;
    int32_t RowCount() override;
};

class AutoQuerySpec final : public CvQuerySpec, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvQueryClasses> Classes() override;
    Ptr<CvQueryColumns> Columns() override;
    Ptr<CvQueryConditions> Conditions() override;
};

class AutoQueryClasses final : public CvQueryClasses, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void AddClass(int16_t classId, const std::string& alias) override;
};

class AutoQueryColumns final : public CvQueryColumns, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void AddColumn(const std::string& attribute, const std::string& alias, int32_t flag) override;
};

class AutoQueryConditions final : public CvQueryConditions, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void AddCondition(const std::string& connector, const std::string& attribute, const std::string& op,
                      const Value& value, int32_t flag, const std::string& alias) override;
};

class AutoGUIServices final : public CvGUIServices, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUINotifier> ObjectViewNotifier() override;
};

class AutoGUINotifier final : public CvGUINotifier, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void NotifyObjects(int32_t code, const Ptr<CvObjects>& objects, bool flag) override;
};

class AutoCommonGUI final : public CvCommonGUI, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvViewMaker> ViewMaker() override;
    Ptr<CvDialogMaker> DialogMaker() override;
    Ptr<CvDesktopWindow> DesktopWindow() override;
};

class AutoViewMaker final : public CvViewMaker, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUIView> MakeView(int32_t kind) override;
};

class AutoDialogMaker final : public CvDialogMaker, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t RunQueryDialog(Ptr<CvGUIDialog>& dialog) override;
};

class AutoGUIDialog final : public CvGUIDialog, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUIView> View() override;
    void Close() override;
    void SetOption(int32_t option) override;
    void Prepare() override;
    int32_t Show() override;
};

class AutoGUIView final : public CvGUIView, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUISelection> Selection() override;
    Ptr<CvGUISelection> Contents() override;
    Ptr<CvGUIDialog> ResultDialog() override;
    void RefreshObjects(int32_t action, const Ptr<CvObjects>& objects, bool flag) override;
};

class AutoGUIQuery final : public CvGUIQuery, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
};

class AutoGUISelection final : public CvGUISelection, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUIQuery> Query() override;
    void SetQuery(const Ptr<CvGUIQuery>& query) override;
    Ptr<CvObjects> Objects() override;
};

class AutoDesktopWindow final : public CvDesktopWindow, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvGUIView> View() override;
};

class AutoIntegrationStore final : public CvIntegrationStore, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvNewObjectDialog> NewObjectDialog() override;
};

class AutoNewObjectDialog final : public CvNewObjectDialog, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void Show(const Ptr<CvObject>& object, const Ptr<CvObject>& templateObject, bool flag, bool& accepted) override;
};

class AutoSessionUtil final : public CvSessionUtil, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) override;
};

class AutoFlowStore final : public CvFlowStore, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvFlowWorkList> WorkList() override;
    Ptr<CvFlowProcess> NewProcess(int16_t processClassId) override;
};

class AutoFlowWorkList final : public CvFlowWorkList, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvFlowEntries> Entries() override;
};

class AutoFlowEntries final : public CvFlowEntries, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    int32_t Count() override;
    Ptr<CvFlowEntry> Entry(int32_t position) override;
};

class AutoFlowEntry final : public CvFlowEntry, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvObject> Object() override;
    void Take() override;
    Ptr<CvFlowStep> CurrentStep() override;
    Ptr<CvFlowNode> Definition() override;
    bool CanForwardTo(const Ptr<CvFlowTarget>& target) override;
};

class AutoFlowNode final : public CvFlowNode, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvFlowTargets> NextTargets() override;
};

class AutoFlowTargets final : public CvFlowTargets, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvFlowTarget> Item(int32_t position) override;
};

class AutoFlowTarget final : public CvFlowTarget, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
};

class AutoFlowStep final : public CvFlowStep, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    void Forward(const Ptr<CvFlowTarget>& target, const std::string& comment,
                 std::chrono::system_clock::time_point when) override;
};

class AutoFlowProcess final : public CvFlowProcess, public AutomationObject {
public:
    using AutomationObject::AutomationObject;
    Ptr<CvObject> Object() override;
    void Attach(const Ptr<CvObject>& object, const Ptr<CvRecord>& record) override;
};

template <> struct AdapterOf<CvAttributeDef> { using Type = AutoAttributeDef; };
template <> struct AdapterOf<CvAttributeDefs> { using Type = AutoAttributeDefs; };
template <> struct AdapterOf<CvClass> { using Type = AutoClass; };
template <> struct AdapterOf<CvClassLinks> { using Type = AutoClassLinks; };
template <> struct AdapterOf<CvCommonGUI> { using Type = AutoCommonGUI; };
template <> struct AdapterOf<CvDesktopWindow> { using Type = AutoDesktopWindow; };
template <> struct AdapterOf<CvDialogMaker> { using Type = AutoDialogMaker; };
template <> struct AdapterOf<CvFlowEntries> { using Type = AutoFlowEntries; };
template <> struct AdapterOf<CvFlowEntry> { using Type = AutoFlowEntry; };
template <> struct AdapterOf<CvFlowNode> { using Type = AutoFlowNode; };
template <> struct AdapterOf<CvFlowProcess> { using Type = AutoFlowProcess; };
template <> struct AdapterOf<CvFlowStep> { using Type = AutoFlowStep; };
template <> struct AdapterOf<CvFlowStore> { using Type = AutoFlowStore; };
template <> struct AdapterOf<CvFlowTarget> { using Type = AutoFlowTarget; };
template <> struct AdapterOf<CvFlowTargets> { using Type = AutoFlowTargets; };
template <> struct AdapterOf<CvFlowWorkList> { using Type = AutoFlowWorkList; };
template <> struct AdapterOf<CvGUIDialog> { using Type = AutoGUIDialog; };
template <> struct AdapterOf<CvGUINotifier> { using Type = AutoGUINotifier; };
template <> struct AdapterOf<CvGUIQuery> { using Type = AutoGUIQuery; };
template <> struct AdapterOf<CvGUISelection> { using Type = AutoGUISelection; };
template <> struct AdapterOf<CvGUIServices> { using Type = AutoGUIServices; };
template <> struct AdapterOf<CvGUIView> { using Type = AutoGUIView; };
template <> struct AdapterOf<CvIntegrationStore> { using Type = AutoIntegrationStore; };
template <> struct AdapterOf<CvLinkClasses> { using Type = AutoLinkClasses; };
template <> struct AdapterOf<CvLookupEntry> { using Type = AutoLookupEntry; };
template <> struct AdapterOf<CvLookupTable> { using Type = AutoLookupTable; };
template <> struct AdapterOf<CvMetaInfo> { using Type = AutoMetaInfo; };
template <> struct AdapterOf<CvNewObjectDialog> { using Type = AutoNewObjectDialog; };
template <> struct AdapterOf<CvObject> { using Type = AutoObject; };
template <> struct AdapterOf<CvObjects> { using Type = AutoObjects; };
template <> struct AdapterOf<CvObjectStore> { using Type = AutoObjectStore; };
template <> struct AdapterOf<CvQuery> { using Type = AutoQuery; };
template <> struct AdapterOf<CvQueryClasses> { using Type = AutoQueryClasses; };
template <> struct AdapterOf<CvQueryColumns> { using Type = AutoQueryColumns; };
template <> struct AdapterOf<CvQueryConditions> { using Type = AutoQueryConditions; };
template <> struct AdapterOf<CvQueryDef> { using Type = AutoQueryDef; };
template <> struct AdapterOf<CvQuerySpec> { using Type = AutoQuerySpec; };
template <> struct AdapterOf<CvRecList> { using Type = AutoRecList; };
template <> struct AdapterOf<CvRecord> { using Type = AutoRecord; };
template <> struct AdapterOf<CvRecordHeader> { using Type = AutoRecordHeader; };
template <> struct AdapterOf<CvReference> { using Type = AutoReference; };
template <> struct AdapterOf<CvSequence> { using Type = AutoSequence; };
template <> struct AdapterOf<CvSequences> { using Type = AutoSequences; };
template <> struct AdapterOf<CvSession> { using Type = AutoSession; };
template <> struct AdapterOf<CvSessionUtil> { using Type = AutoSessionUtil; };
template <> struct AdapterOf<CvTreeLink> { using Type = AutoTreeLink; };
template <> struct AdapterOf<CvTreeLinks> { using Type = AutoTreeLinks; };
template <> struct AdapterOf<CvUpdateOptions> { using Type = AutoUpdateOptions; };
template <> struct AdapterOf<CvUserInfo> { using Type = AutoUserInfo; };
template <> struct AdapterOf<CvViewMaker> { using Type = AutoViewMaker; };

template <typename T> Ptr<T> Adapt(const Variant& answer, Answer mode) {
    DispatchPtr object = answer.Dispatch();
    if (!object) {
        if (mode == Answer::NoneAllowed) return nullptr;
        throw CvError("the platform answered nothing where an object was expected");
    }
    return std::make_shared<typename AdapterOf<T>::Type>(std::move(object));
}

// ---------------------------------------------------------------- operations

Ptr<CvObjectStore> AutoSession::ObjectStore() {
    return Adapt<CvObjectStore>(Call(Operation::CvSessionObjectStore), Answer::Required);
}

Ptr<CvMetaInfo> AutoSession::MetaInfo() {
    return Adapt<CvMetaInfo>(Call(Operation::CvSessionMetaInfo), Answer::Required);
}

Ptr<CvUserInfo> AutoSession::CurrentUser() {
    return Adapt<CvUserInfo>(Call(Operation::CvSessionCurrentUser), Answer::Required);
}

Ptr<CvDispatch> AutoSession::CreateObject(const std::string& progId) {
    // The five service objects, each viewed as the interface its identifier names.
    DispatchPtr created = Call(Operation::CvSessionCreateObject, {Variant::Text(progId)}).Dispatch();
    if (!created) throw CvError("the platform object " + progId + " was not created");
    if (progId == "CvFlow.CvFlowStore") return std::make_shared<AutoFlowStore>(created);
    if (progId == "CvGUISrv.CvGUIServices") return std::make_shared<AutoGUIServices>(created);
    if (progId == "CvGUISrv.CvCommonGUI") return std::make_shared<AutoCommonGUI>(created);
    if (progId == "CvIntegrationTool.CvIntegrationStore") return std::make_shared<AutoIntegrationStore>(created);
    if (progId == "CvUtil.CvSessionUtil") return std::make_shared<AutoSessionUtil>(created);
    throw CvError("the platform object " + progId + " is not known to the component");
}

int32_t AutoUserInfo::UserObjectId() {
    return Call(Operation::CvUserInfoUserObjectId).ToValue().AsInt32();
}

bool AutoUserInfo::IsAdministrator() {
    return Call(Operation::CvUserInfoIsAdministrator).ToValue().AsBool();
}

Ptr<CvRecord> AutoRecList::RecordAt(int32_t row) {
    return Adapt<CvRecord>(Call(Operation::CvRecListRecordAt, {Variant::Int32(row)}), Answer::Required);
}

int32_t AutoRecList::RowCount() {
    return Call(Operation::CvRecListRowCount).ToValue().AsInt32();
}

int32_t AutoRecList::RecordCount() {
    return Call(Operation::CvRecListRecordCount).ToValue().AsInt32();
}

std::string AutoRecList::KeyAt(int32_t position) {
    return Call(Operation::CvRecListKeyAt, {Variant::Int32(position)}).ToValue().AsText();
}

Ptr<CvRecord> AutoRecList::RecordByKey(const std::string& key, int32_t row) {
    return Adapt<CvRecord>(Call(Operation::CvRecListRecordByKey, {Variant::Text(key), Variant::Int32(row)}),
                           Answer::Required);
}

int16_t AutoRecList::ValueAsInt16(const std::string& column, int32_t row) {
    return Call(Operation::CvRecListValueAsInt16, {Variant::Text(column), Variant::Int32(row)}).ToValue().AsInt16();
}

int32_t AutoRecList::ValueAsInt32(const std::string& column, int32_t row) {
    return Call(Operation::CvRecListValueAsInt32, {Variant::Text(column), Variant::Int32(row)}).ToValue().AsInt32();
}

Value AutoRecList::ValueAt(int32_t columnPosition, int32_t row) {
    return Call(Operation::CvRecListValueAt, {Variant::Int32(columnPosition), Variant::Int32(row)}).ToValue();
}

bool AutoRecordHeader::ContainsColumn(const std::string& name) {
    return Call(Operation::CvRecordHeaderContainsColumn, {Variant::Text(name)}).ToValue().AsBool();
}

std::string AutoRecord::ValueAsText(const std::string& name) {
    return Call(Operation::CvRecordValueAsText, {Variant::Text(name)}).ToValue().AsText();
}

int16_t AutoRecord::ValueAsInt16(const std::string& name) {
    return Call(Operation::CvRecordValueAsInt16, {Variant::Text(name)}).ToValue().AsInt16();
}

int32_t AutoRecord::ValueAsInt32(const std::string& name) {
    return Call(Operation::CvRecordValueAsInt32, {Variant::Text(name)}).ToValue().AsInt32();
}

bool AutoRecord::ValueAsBool(const std::string& name) {
    return Call(Operation::CvRecordValueAsBool, {Variant::Text(name)}).ToValue().AsBool();
}

Value AutoRecord::GetValue(const std::string& name) {
    return Call(Operation::CvRecordGetValue, {Variant::Text(name)}).ToValue();
}

void AutoRecord::SetValueAsText(const std::string& name, const std::string& value) {
    Call(Operation::CvRecordSetValueAsText, {Variant::Text(name), Variant::Text(value)});
}

void AutoRecord::SetValueAsInt16(const std::string& name, int16_t value) {
    Call(Operation::CvRecordSetValueAsInt16, {Variant::Text(name), Variant::Int16(value)});
}

void AutoRecord::SetValueAsInt32(const std::string& name, int32_t value) {
    Call(Operation::CvRecordSetValueAsInt32, {Variant::Text(name), Variant::Int32(value)});
}

void AutoRecord::SetValueAsDouble(const std::string& name, double value) {
    Call(Operation::CvRecordSetValueAsDouble, {Variant::Text(name), Variant::Double(value)});
}

void AutoRecord::SetValueAsBool(const std::string& name, bool value) {
    Call(Operation::CvRecordSetValueAsBool, {Variant::Text(name), Variant::Bool(value)});
}

void AutoRecord::SetValue(const std::string& name, const Value& value) {
    Call(Operation::CvRecordSetValue, {Variant::Text(name), Variant::FromValue(value)});
}

Ptr<CvRecordHeader> AutoRecord::Header() {
    return Adapt<CvRecordHeader>(Call(Operation::CvRecordHeader), Answer::Required);
}

Ptr<CvUpdateOptions> AutoUpdateOptions::Copy() {
    return Adapt<CvUpdateOptions>(Call(Operation::CvUpdateOptionsCopy), Answer::Required);
}

void AutoUpdateOptions::SetMode(int16_t mode) {
    Call(Operation::CvUpdateOptionsSetMode, {Variant::Int16(mode)});
}

void AutoUpdateOptions::SetFirstSwitch(bool on) {
    Call(Operation::CvUpdateOptionsSetFirstSwitch, {Variant::Bool(on)});
}

void AutoUpdateOptions::SetSecondSwitch(bool on) {
    Call(Operation::CvUpdateOptionsSetSecondSwitch, {Variant::Bool(on)});
}

void AutoUpdateOptions::SetThirdSetting(int16_t setting) {
    Call(Operation::CvUpdateOptionsSetThirdSetting, {Variant::Int16(setting)});
}

void AutoUpdateOptions::SetFourthSetting(int16_t setting) {
    Call(Operation::CvUpdateOptionsSetFourthSetting, {Variant::Int16(setting)});
}

Ptr<CvObject> AutoObjectStore::ObjectFromRecord(const Ptr<CvRecord>& record, bool flag) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectStoreObjectFromRecord, {Variant::Object(DispatchOf(record)), Variant::Bool(flag)}),
        Answer::Required);
}

Ptr<CvObjects> AutoObjectStore::ObjectsFromRecList(const Ptr<CvRecList>& recList, bool flag) {
    return Adapt<CvObjects>(
        Call(Operation::CvObjectStoreObjectsFromRecList, {Variant::Object(DispatchOf(recList)), Variant::Bool(flag)}),
        Answer::Required);
}

Ptr<CvObject> AutoObjectStore::ObjectById(int16_t classId, int32_t objectId) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectStoreObjectById, {Variant::Int16(classId), Variant::Int32(objectId)}),
        Answer::Required);
}

Ptr<CvObject> AutoObjectStore::NewObject(int16_t classId) {
    return Adapt<CvObject>(Call(Operation::CvObjectStoreNewObject, {Variant::Int16(classId)}), Answer::Required);
}

Ptr<CvObject> AutoObjectStore::LinkByEnds(int16_t linkClassId, int16_t parentClassId, int32_t parentObjectId,
                                          int16_t childClassId, int32_t childObjectId) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectStoreLinkByEnds,
             {Variant::Int16(linkClassId), Variant::Int16(parentClassId), Variant::Int32(parentObjectId),
              Variant::Int16(childClassId), Variant::Int32(childObjectId)}),
        Answer::NoneAllowed);
}

Ptr<CvUpdateOptions> AutoObjectStore::DefaultUpdateOptions() {
    return Adapt<CvUpdateOptions>(Call(Operation::CvObjectStoreDefaultUpdateOptions), Answer::Required);
}

Ptr<CvObjects> AutoObjectStore::NewObjectList() {
    return Adapt<CvObjects>(Call(Operation::CvObjectStoreNewObjectList), Answer::Required);
}

Ptr<CvSequences> AutoObjectStore::Sequences() {
    return Adapt<CvSequences>(Call(Operation::CvObjectStoreSequences), Answer::Required);
}

Ptr<CvQuery> AutoObjectStore::NewSqlQuery() {
    return Adapt<CvQuery>(Call(Operation::CvObjectStoreNewSqlQuery), Answer::Required);
}

Ptr<CvQueryDef> AutoObjectStore::NewQueryDef() {
    return Adapt<CvQueryDef>(Call(Operation::CvObjectStoreNewQueryDef), Answer::Required);
}

Ptr<CvLookupTable> AutoObjectStore::LookupTable(int16_t tableId) {
    return Adapt<CvLookupTable>(Call(Operation::CvObjectStoreLookupTable, {Variant::Int16(tableId)}), Answer::Required);
}

Ptr<CvSession> AutoObjectStore::Session() {
    return Adapt<CvSession>(Call(Operation::CvObjectStoreSession), Answer::Required);
}

Ptr<CvObject> AutoObject::WorkingObject() {
    return Adapt<CvObject>(Call(Operation::CvObjectWorkingObject), Answer::Required);
}

void AutoObject::Retrieve() {
    Call(Operation::CvObjectRetrieve);
}

void AutoObject::AddAttributesToRetrieve(const std::string& namesJoinedBySemicolon) {
    Call(Operation::CvObjectAddAttributesToRetrieve, {Variant::Text(namesJoinedBySemicolon)});
}

Ptr<CvClass> AutoObject::Class() {
    return Adapt<CvClass>(Call(Operation::CvObjectClass), Answer::Required);
}

int16_t AutoObject::ClassId() {
    return Call(Operation::CvObjectClassId).ToValue().AsInt16();
}

int32_t AutoObject::ObjectId() {
    return Call(Operation::CvObjectObjectId).ToValue().AsInt32();
}

Ptr<CvRecord> AutoObject::Data() {
    return Adapt<CvRecord>(Call(Operation::CvObjectData), Answer::Required);
}

std::string AutoObject::DisplayText(const std::string& separator) {
    return Call(Operation::CvObjectDisplayText, {Variant::Text(separator)}).ToValue().AsText();
}

void AutoObject::InitialiseNew() {
    Call(Operation::CvObjectInitialiseNew);
}

void AutoObject::PrepareNew() {
    Call(Operation::CvObjectPrepareNew);
}

void AutoObject::Store() {
    Call(Operation::CvObjectStore);
}

void AutoObject::Insert(const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvObjectInsert, {Variant::Object(DispatchOf(options))});
}

void AutoObject::Update(const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvObjectUpdate, {Variant::Object(DispatchOf(options))});
}

void AutoObject::Delete(const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvObjectDelete, {Variant::Object(DispatchOf(options))});
}

Ptr<CvObject> AutoObject::NewLink(int16_t linkClassId, const Ptr<CvObject>& child) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectNewLink, {Variant::Int16(linkClassId), Variant::Object(DispatchOf(child))}),
        Answer::Required);
}

Ptr<CvObject> AutoObject::NewLinkTo(int16_t linkClassId, const Ptr<CvObject>& other) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectNewLinkTo, {Variant::Int16(linkClassId), Variant::Object(DispatchOf(other))}),
        Answer::Required);
}

Ptr<CvObject> AutoObject::LinkUnderParent(const Ptr<CvObject>& parent, int32_t flag,
                                          const Ptr<CvUpdateOptions>& options) {
    return Adapt<CvObject>(
        Call(Operation::CvObjectLinkUnderParent,
             {Variant::Object(DispatchOf(parent)), Variant::Int32(flag), Variant::Object(DispatchOf(options))}),
        Answer::Required);
}

Ptr<CvObject> AutoObject::LinkToParent(int16_t linkClassId, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                       const Ptr<CvUpdateOptions>& options) {
    return Adapt<CvObject>(Call(Operation::CvObjectLinkToParent,
                                {Variant::Int16(linkClassId), Variant::Object(DispatchOf(parent)),
                                 Variant::Object(DispatchOf(extra)), Variant::Object(DispatchOf(options))}),
                           Answer::Required);
}

void AutoObject::AttachToParent(int32_t flag, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvObjectAttachToParent, {Variant::Int32(flag), Variant::Object(DispatchOf(parent)),
                                             Variant::Object(DispatchOf(extra)), Variant::Object(DispatchOf(options))});
}

void AutoObject::RemoveLink(int32_t flag, const Ptr<CvObject>& other, const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvObjectRemoveLink,
         {Variant::Int32(flag), Variant::Object(DispatchOf(other)), Variant::Object(DispatchOf(options))});
}

Ptr<CvObjects> AutoObject::Children(const Ptr<CvObject>& filter) {
    return Adapt<CvObjects>(Call(Operation::CvObjectChildren, {Variant::Object(DispatchOf(filter))}), Answer::Required);
}

Ptr<CvTreeLinks> AutoObject::TreeLinks(const Ptr<CvObject>& filter) {
    return Adapt<CvTreeLinks>(Call(Operation::CvObjectTreeLinks, {Variant::Object(DispatchOf(filter))}),
                              Answer::Required);
}

Ptr<CvObject> AutoObject::ReferencedObject(int32_t key) {
    return Adapt<CvObject>(Call(Operation::CvObjectReferencedObject, {Variant::Int32(key)}), Answer::NoneAllowed);
}

Ptr<CvAttributeDefs> AutoObject::AttributeDefs() {
    return Adapt<CvAttributeDefs>(Call(Operation::CvObjectAttributeDefs), Answer::Required);
}

Ptr<CvObjectStore> AutoObject::ObjectStore() {
    return Adapt<CvObjectStore>(Call(Operation::CvObjectObjectStore), Answer::Required);
}

void AutoObjects::Add(const Ptr<CvObject>& object) {
    Call(Operation::CvObjectsAdd, {Variant::Object(DispatchOf(object))});
}

int32_t AutoObjects::Count() {
    return Call(Operation::CvObjectsCount).ToValue().AsInt32();
}

Ptr<CvObject> AutoObjects::Item(int32_t position) {
    return Adapt<CvObject>(Call(Operation::CvObjectsItem, {Variant::Int32(position)}), Answer::Required);
}

int32_t AutoTreeLinks::Count() {
    return Call(Operation::CvTreeLinksCount).ToValue().AsInt32();
}

Ptr<CvTreeLink> AutoTreeLinks::Item(int32_t position) {
    return Adapt<CvTreeLink>(Call(Operation::CvTreeLinksItem, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvTreeLink> AutoTreeLink::WorkingEntry() {
    return Adapt<CvTreeLink>(Call(Operation::CvTreeLinkWorkingEntry), Answer::Required);
}

Ptr<CvObject> AutoTreeLink::Element(int32_t index) {
    return Adapt<CvObject>(Call(Operation::CvTreeLinkElement, {Variant::Int32(index)}), Answer::Required);
}

Ptr<CvSequence> AutoSequences::SequenceByName(const std::string& name) {
    return Adapt<CvSequence>(Call(Operation::CvSequencesSequenceByName, {Variant::Text(name)}), Answer::NoneAllowed);
}

std::string AutoSequence::NextValue() {
    return Call(Operation::CvSequenceNextValue).ToValue().AsText();
}

Ptr<CvClass> AutoMetaInfo::ClassByName(const std::string& name) {
    return Adapt<CvClass>(Call(Operation::CvMetaInfoClassByName, {Variant::Text(name)}), Answer::Required);
}

Ptr<CvClass> AutoMetaInfo::ClassById(int16_t classId) {
    return Adapt<CvClass>(Call(Operation::CvMetaInfoClassById, {Variant::Int16(classId)}), Answer::Required);
}

int16_t AutoMetaInfo::LinkClassBetween(int16_t parentClassId, int16_t childClassId) {
    return Call(Operation::CvMetaInfoLinkClassBetween, {Variant::Int16(parentClassId), Variant::Int16(childClassId)})
        .ToValue()
        .AsInt16();
}

int16_t AutoClass::ClassId() {
    return Call(Operation::CvClassClassId).ToValue().AsInt16();
}

int16_t AutoClass::SuperClassId() {
    return Call(Operation::CvClassSuperClassId).ToValue().AsInt16();
}

std::string AutoClass::Name() {
    return Call(Operation::CvClassName).ToValue().AsText();
}

std::string AutoClass::DisplayName() {
    return Call(Operation::CvClassDisplayName).ToValue().AsText();
}

bool AutoClass::BelongsToClass(int16_t classId) {
    return Call(Operation::CvClassBelongsToClass, {Variant::Int16(classId)}).ToValue().AsBool();
}

bool AutoClass::IncludesClass(int16_t classId) {
    return Call(Operation::CvClassIncludesClass, {Variant::Int16(classId)}).ToValue().AsBool();
}

bool AutoClass::HasAttribute(const std::string& name) {
    return Call(Operation::CvClassHasAttribute, {Variant::Text(name)}).ToValue().AsBool();
}

Ptr<CvAttributeDefs> AutoClass::AttributeDefs() {
    return Adapt<CvAttributeDefs>(Call(Operation::CvClassAttributeDefs), Answer::Required);
}

Ptr<CvClassLinks> AutoClass::LinkClasses() {
    return Adapt<CvClassLinks>(Call(Operation::CvClassLinkClasses), Answer::Required);
}

Ptr<CvLinkClasses> AutoClassLinks::LinkClassesTo(int16_t otherClassId) {
    return Adapt<CvLinkClasses>(Call(Operation::CvClassLinksLinkClassesTo, {Variant::Int16(otherClassId)}),
                                Answer::Required);
}

int32_t AutoLinkClasses::Count() {
    return Call(Operation::CvLinkClassesCount).ToValue().AsInt32();
}

Ptr<CvClass> AutoLinkClasses::Item(int32_t position) {
    return Adapt<CvClass>(Call(Operation::CvLinkClassesItem, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvAttributeDef> AutoAttributeDefs::DefinitionByName(const std::string& name) {
    return Adapt<CvAttributeDef>(Call(Operation::CvAttributeDefsDefinitionByName, {Variant::Text(name)}),
                                 Answer::Required);
}

int32_t AutoAttributeDefs::Count() {
    return Call(Operation::CvAttributeDefsCount).ToValue().AsInt32();
}

Ptr<CvAttributeDef> AutoAttributeDefs::Item(int32_t position) {
    return Adapt<CvAttributeDef>(Call(Operation::CvAttributeDefsItem, {Variant::Int32(position)}), Answer::Required);
}

int32_t AutoAttributeDefs::KeyOf(const Ptr<CvAttributeDef>& definition) {
    return Call(Operation::CvAttributeDefsKeyOf, {Variant::Object(DispatchOf(definition))}).ToValue().AsInt32();
}

std::string AutoAttributeDef::Name() {
    return Call(Operation::CvAttributeDefName).ToValue().AsText();
}

std::string AutoAttributeDef::DisplayName() {
    return Call(Operation::CvAttributeDefDisplayName).ToValue().AsText();
}

int32_t AutoAttributeDef::TypeCode() {
    return Call(Operation::CvAttributeDefTypeCode).ToValue().AsInt32();
}

bool AutoAttributeDef::IsMandatory() {
    return Call(Operation::CvAttributeDefIsMandatory).ToValue().AsBool();
}

bool AutoAttributeDef::IsPrimary(const std::string& name) {
    return Call(Operation::CvAttributeDefIsPrimary, {Variant::Text(name)}).ToValue().AsBool();
}

int32_t AutoAttributeDef::LookupTableId() {
    return Call(Operation::CvAttributeDefLookupTableId).ToValue().AsInt32();
}

Ptr<CvReference> AutoAttributeDef::Reference() {
    return Adapt<CvReference>(Call(Operation::CvAttributeDefReference), Answer::NoneAllowed);
}

std::string AutoReference::ReferenceText() {
    return Call(Operation::CvReferenceReferenceText).ToValue().AsText();
}

Ptr<CvAttributeDefs> AutoReference::DisplayAttributes() {
    return Adapt<CvAttributeDefs>(Call(Operation::CvReferenceDisplayAttributes), Answer::Required);
}

int32_t AutoLookupTable::Count() {
    return Call(Operation::CvLookupTableCount).ToValue().AsInt32();
}

Ptr<CvLookupEntry> AutoLookupTable::Item(int16_t position) {
    return Adapt<CvLookupEntry>(Call(Operation::CvLookupTableItem, {Variant::Int16(position)}), Answer::Required);
}

Ptr<CvLookupEntry> AutoLookupTable::ItemByText(const std::string& text) {
    return Adapt<CvLookupEntry>(Call(Operation::CvLookupTableItemByText, {Variant::Text(text)}), Answer::NoneAllowed);
}

std::string AutoLookupEntry::Text() {
    return Call(Operation::CvLookupEntryText).ToValue().AsText();
}

int32_t AutoLookupEntry::Code() {
    return Call(Operation::CvLookupEntryCode).ToValue().AsInt32();
}

void AutoQuery::SetSqlText(const std::string& sql) {
    Call(Operation::CvQuerySetSqlText, {Variant::Text(sql)});
}

void AutoQuery::Run() {
    Call(Operation::CvQueryRun);
}

Ptr<CvRecList> AutoQuery::Result() {
    return Adapt<CvRecList>(Call(Operation::CvQueryResult), Answer::Required);
}

Ptr<CvQuerySpec> AutoQueryDef::Specification() {
    return Adapt<CvQuerySpec>(Call(Operation::CvQueryDefSpecification), Answer::Required);
}

void AutoQueryDef::Run() {
    Call(Operation::CvQueryDefRun);
}

void AutoQueryDef::RunWithOptions(const Ptr<CvUpdateOptions>& options) {
    Call(Operation::CvQueryDefRunWithOptions, {Variant::Object(DispatchOf(options))});
}

Ptr<CvRecList> AutoQueryDef::Result() {
    return Adapt<CvRecList>(Call(Operation::CvQueryDefResult), Answer::Required);
}

int32_t AutoQueryDef::RowCount() {
    return Call(Operation::CvQueryDefRowCount).ToValue().AsInt32();
}

Ptr<CvQueryClasses> AutoQuerySpec::Classes() {
    return Adapt<CvQueryClasses>(Call(Operation::CvQuerySpecClasses), Answer::Required);
}

Ptr<CvQueryColumns> AutoQuerySpec::Columns() {
    return Adapt<CvQueryColumns>(Call(Operation::CvQuerySpecColumns), Answer::Required);
}

Ptr<CvQueryConditions> AutoQuerySpec::Conditions() {
    return Adapt<CvQueryConditions>(Call(Operation::CvQuerySpecConditions), Answer::Required);
}

void AutoQueryClasses::AddClass(int16_t classId, const std::string& alias) {
    Call(Operation::CvQueryClassesAddClass, {Variant::Int16(classId), Variant::Text(alias)});
}

void AutoQueryColumns::AddColumn(const std::string& attribute, const std::string& alias, int32_t flag) {
    Call(Operation::CvQueryColumnsAddColumn, {Variant::Text(attribute), Variant::Text(alias), Variant::Int32(flag)});
}

void AutoQueryConditions::AddCondition(const std::string& connector, const std::string& attribute,
                                       const std::string& op, const Value& value, int32_t flag,
                                       const std::string& alias) {
    Call(Operation::CvQueryConditionsAddCondition,
         {Variant::Text(connector), Variant::Text(attribute), Variant::Text(op), Variant::FromValue(value),
          Variant::Int32(flag), Variant::Text(alias)});
}

Ptr<CvGUINotifier> AutoGUIServices::ObjectViewNotifier() {
    return Adapt<CvGUINotifier>(Call(Operation::CvGUIServicesObjectViewNotifier), Answer::Required);
}

void AutoGUINotifier::NotifyObjects(int32_t code, const Ptr<CvObjects>& objects, bool flag) {
    Call(Operation::CvGUINotifierNotifyObjects,
         {Variant::Int32(code), Variant::Object(DispatchOf(objects)), Variant::Bool(flag)});
}

Ptr<CvViewMaker> AutoCommonGUI::ViewMaker() {
    return Adapt<CvViewMaker>(Call(Operation::CvCommonGUIViewMaker), Answer::Required);
}

Ptr<CvDialogMaker> AutoCommonGUI::DialogMaker() {
    return Adapt<CvDialogMaker>(Call(Operation::CvCommonGUIDialogMaker), Answer::Required);
}

Ptr<CvDesktopWindow> AutoCommonGUI::DesktopWindow() {
    return Adapt<CvDesktopWindow>(Call(Operation::CvCommonGUIDesktopWindow), Answer::Required);
}

Ptr<CvGUIView> AutoViewMaker::MakeView(int32_t kind) {
    return Adapt<CvGUIView>(Call(Operation::CvViewMakerMakeView, {Variant::Int32(kind)}), Answer::Required);
}

int32_t AutoDialogMaker::RunQueryDialog(Ptr<CvGUIDialog>& dialog) {
    Variant out = Variant::Object(DispatchOf(dialog));
    int32_t answer = Call(Operation::CvDialogMakerRunQueryDialog, {Variant::RefTo(out.Raw())}).ToValue().AsInt32();
    // A confirmed query dialog hands over the dialog.
    dialog = Adapt<CvGUIDialog>(out, answer == 1 ? Answer::Required : Answer::NoneAllowed);
    return answer;
}

Ptr<CvGUIView> AutoGUIDialog::View() {
    return Adapt<CvGUIView>(Call(Operation::CvGUIDialogView), Answer::Required);
}

void AutoGUIDialog::Close() {
    Call(Operation::CvGUIDialogClose);
}

void AutoGUIDialog::SetOption(int32_t option) {
    Call(Operation::CvGUIDialogSetOption, {Variant::Int32(option)});
}

void AutoGUIDialog::Prepare() {
    Call(Operation::CvGUIDialogPrepare);
}

int32_t AutoGUIDialog::Show() {
    return Call(Operation::CvGUIDialogShow).ToValue().AsInt32();
}

Ptr<CvGUISelection> AutoGUIView::Selection() {
    return Adapt<CvGUISelection>(Call(Operation::CvGUIViewSelection), Answer::Required);
}

Ptr<CvGUISelection> AutoGUIView::Contents() {
    return Adapt<CvGUISelection>(Call(Operation::CvGUIViewContents), Answer::Required);
}

Ptr<CvGUIDialog> AutoGUIView::ResultDialog() {
    return Adapt<CvGUIDialog>(Call(Operation::CvGUIViewResultDialog), Answer::Required);
}

void AutoGUIView::RefreshObjects(int32_t action, const Ptr<CvObjects>& objects, bool flag) {
    Call(Operation::CvGUIViewRefreshObjects,
         {Variant::Int32(action), Variant::Object(DispatchOf(objects)), Variant::Bool(flag)});
}

Ptr<CvGUIQuery> AutoGUISelection::Query() {
    return Adapt<CvGUIQuery>(Call(Operation::CvGUISelectionQuery), Answer::Required);
}

void AutoGUISelection::SetQuery(const Ptr<CvGUIQuery>& query) {
    Call(Operation::CvGUISelectionSetQuery, {Variant::Object(DispatchOf(query))});
}

Ptr<CvObjects> AutoGUISelection::Objects() {
    return Adapt<CvObjects>(Call(Operation::CvGUISelectionObjects), Answer::Required);
}

Ptr<CvGUIView> AutoDesktopWindow::View() {
    return Adapt<CvGUIView>(Call(Operation::CvDesktopWindowView), Answer::Required);
}

Ptr<CvNewObjectDialog> AutoIntegrationStore::NewObjectDialog() {
    return Adapt<CvNewObjectDialog>(Call(Operation::CvIntegrationStoreNewObjectDialog), Answer::Required);
}

void AutoNewObjectDialog::Show(const Ptr<CvObject>& object, const Ptr<CvObject>& templateObject, bool flag,
                               bool& accepted) {
    Variant out = Variant::Bool(accepted);
    Call(Operation::CvNewObjectDialogShow,
         {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(templateObject)), Variant::Bool(flag),
          Variant::RefTo(out.Raw())});
    accepted = out.ToValue().AsBool();
}

void AutoSessionUtil::ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) {
    Call(Operation::CvSessionUtilShowObject,
         {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(other)), Variant::Bool(flag)});
}

Ptr<CvFlowWorkList> AutoFlowStore::WorkList() {
    return Adapt<CvFlowWorkList>(Call(Operation::CvFlowStoreWorkList), Answer::Required);
}

Ptr<CvFlowProcess> AutoFlowStore::NewProcess(int16_t processClassId) {
    return Adapt<CvFlowProcess>(Call(Operation::CvFlowStoreNewProcess, {Variant::Int16(processClassId)}),
                                Answer::Required);
}

Ptr<CvFlowEntries> AutoFlowWorkList::Entries() {
    return Adapt<CvFlowEntries>(Call(Operation::CvFlowWorkListEntries), Answer::Required);
}

int32_t AutoFlowEntries::Count() {
    return Call(Operation::CvFlowEntriesCount).ToValue().AsInt32();
}

Ptr<CvFlowEntry> AutoFlowEntries::Entry(int32_t position) {
    return Adapt<CvFlowEntry>(Call(Operation::CvFlowEntriesEntry, {Variant::Int32(position)}), Answer::Required);
}

Ptr<CvObject> AutoFlowEntry::Object() {
    return Adapt<CvObject>(Call(Operation::CvFlowEntryObject), Answer::Required);
}

void AutoFlowEntry::Take() {
    Call(Operation::CvFlowEntryTake);
}

Ptr<CvFlowStep> AutoFlowEntry::CurrentStep() {
    return Adapt<CvFlowStep>(Call(Operation::CvFlowEntryCurrentStep), Answer::Required);
}

Ptr<CvFlowNode> AutoFlowEntry::Definition() {
    return Adapt<CvFlowNode>(Call(Operation::CvFlowEntryDefinition), Answer::Required);
}

bool AutoFlowEntry::CanForwardTo(const Ptr<CvFlowTarget>& target) {
    return Call(Operation::CvFlowEntryCanForwardTo, {Variant::Object(DispatchOf(target))}).ToValue().AsBool();
}

Ptr<CvFlowTargets> AutoFlowNode::NextTargets() {
    return Adapt<CvFlowTargets>(Call(Operation::CvFlowNodeNextTargets), Answer::Required);
}

Ptr<CvFlowTarget> AutoFlowTargets::Item(int32_t position) {
    return Adapt<CvFlowTarget>(Call(Operation::CvFlowTargetsItem, {Variant::Int32(position)}), Answer::Required);
}

void AutoFlowStep::Forward(const Ptr<CvFlowTarget>& target, const std::string& comment,
                           std::chrono::system_clock::time_point when) {
    Call(Operation::CvFlowStepForward,
         {Variant::Object(DispatchOf(target)), Variant::Text(comment), Variant::Date(when)});
}

Ptr<CvObject> AutoFlowProcess::Object() {
    return Adapt<CvObject>(Call(Operation::CvFlowProcessObject), Answer::Required);
}

void AutoFlowProcess::Attach(const Ptr<CvObject>& object, const Ptr<CvRecord>& record) {
    Call(Operation::CvFlowProcessAttach, {Variant::Object(DispatchOf(object)), Variant::Object(DispatchOf(record))});
}

} // namespace

Ptr<CvSession> SessionOver(const DispatchPtr& object) {
    return object ? std::make_shared<AutoSession>(object) : nullptr;
}

Ptr<CvRecList> RecListOver(const DispatchPtr& object) {
    return object ? std::make_shared<AutoRecList>(object) : nullptr;
}

Ptr<CvObject> ObjectOver(const DispatchPtr& object) {
    return object ? std::make_shared<AutoObject>(object) : nullptr;
}

DispatchPtr DispatchOfObject(const Ptr<CvObject>& object) {
    return DispatchOf(object);
}

} // namespace quendra::com
