// The platform interfaces the component reaches the PDM platform through.
//
// Every operation may fail; a failure throws CvError. "None" is an empty pointer and
// is answered only by the operations documented to answer it (SequenceByName,
// LinkByEnds, ItemByText, Reference, ReferencedObject). Positions in platform lists
// and record-list rows count from 0.
#pragma once

#include "AttributeType.h"
#include "CvError.h"
#include "Value.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace quendra {

class CvAttributeDef;
class CvAttributeDefs;
class CvClass;
class CvClassLinks;
class CvCommonGUI;
class CvDesktopWindow;
class CvDialogMaker;
class CvFlowEntries;
class CvFlowEntry;
class CvFlowNode;
class CvFlowProcess;
class CvFlowStep;
class CvFlowStore;
class CvFlowTarget;
class CvFlowTargets;
class CvFlowWorkList;
class CvGUIDialog;
class CvGUINotifier;
class CvGUIQuery;
class CvGUISelection;
class CvGUIServices;
class CvGUIView;
class CvIntegrationStore;
class CvLinkClasses;
class CvLookupEntry;
class CvLookupTable;
class CvMetaInfo;
class CvNewObjectDialog;
class CvObject;
class CvObjects;
class CvObjectStore;
class CvQuery;
class CvQueryClasses;
class CvQueryColumns;
class CvQueryConditions;
class CvQueryDef;
class CvQuerySpec;
class CvRecList;
class CvRecord;
class CvRecordHeader;
class CvReference;
class CvSequence;
class CvSequences;
class CvSession;
class CvSessionUtil;
class CvTreeLink;
class CvTreeLinks;
class CvUpdateOptions;
class CvUserInfo;
class CvViewMaker;

template <typename T> using Ptr = std::shared_ptr<T>;

// Base of the service objects that a session creates by programmatic identifier.
class CvDispatch {
public:
    virtual ~CvDispatch() = default;
};

// ---------------------------------------------------------------- session, records

class CvSession {
public:
    virtual ~CvSession() = default;
    virtual Ptr<CvObjectStore> ObjectStore() = 0;
    virtual Ptr<CvMetaInfo> MetaInfo() = 0;
    virtual Ptr<CvUserInfo> CurrentUser() = 0;
    // "CvFlow.CvFlowStore", "CvGUISrv.CvGUIServices", "CvGUISrv.CvCommonGUI",
    // "CvIntegrationTool.CvIntegrationStore", "CvUtil.CvSessionUtil".
    virtual Ptr<CvDispatch> CreateObject(const std::string& progId) = 0;
};

// Creates a service object and views it as the interface the caller expects.
template <typename T> Ptr<T> CreateAs(CvSession& session, const std::string& progId) {
    auto created = std::dynamic_pointer_cast<T>(session.CreateObject(progId));
    if (!created) throw CvError("the platform object " + progId + " cannot be created");
    return created;
}

class CvUserInfo {
public:
    virtual ~CvUserInfo() = default;
    virtual int32_t UserObjectId() = 0;
    virtual bool IsAdministrator() = 0;
};

class CvRecList {
public:
    virtual ~CvRecList() = default;
    virtual Ptr<CvRecord> RecordAt(int32_t row) = 0;
    virtual int32_t RowCount() = 0;
    virtual int32_t RecordCount() = 0;
    virtual std::string KeyAt(int32_t position) = 0;
    virtual Ptr<CvRecord> RecordByKey(const std::string& key, int32_t row) = 0;
    virtual int16_t ValueAsInt16(const std::string& column, int32_t row) = 0;
    virtual int32_t ValueAsInt32(const std::string& column, int32_t row) = 0;
    virtual Value ValueAt(int32_t columnPosition, int32_t row) = 0;
};

class CvRecordHeader {
public:
    virtual ~CvRecordHeader() = default;
    virtual bool ContainsColumn(const std::string& name) = 0;
};

class CvRecord {
public:
    virtual ~CvRecord() = default;
    virtual std::string ValueAsText(const std::string& name) = 0;
    virtual int16_t ValueAsInt16(const std::string& name) = 0;
    virtual int32_t ValueAsInt32(const std::string& name) = 0;
    virtual bool ValueAsBool(const std::string& name) = 0;
    virtual Value GetValue(const std::string& name) = 0;
    virtual void SetValueAsText(const std::string& name, const std::string& value) = 0;
    virtual void SetValueAsInt16(const std::string& name, int16_t value) = 0;
    virtual void SetValueAsInt32(const std::string& name, int32_t value) = 0;
    virtual void SetValueAsDouble(const std::string& name, double value) = 0;
    virtual void SetValueAsBool(const std::string& name, bool value) = 0;
    virtual void SetValue(const std::string& name, const Value& value) = 0;
    virtual Ptr<CvRecordHeader> Header() = 0;
};

// ---------------------------------------------------------------- objects and the store

class CvUpdateOptions {
public:
    virtual ~CvUpdateOptions() = default;
    virtual Ptr<CvUpdateOptions> Copy() = 0;
    virtual void SetMode(int16_t mode) = 0;
    virtual void SetFirstSwitch(bool on) = 0;
    virtual void SetSecondSwitch(bool on) = 0;
    virtual void SetThirdSetting(int16_t setting) = 0;
    virtual void SetFourthSetting(int16_t setting) = 0;
};

class CvObjectStore {
public:
    virtual ~CvObjectStore() = default;
    virtual Ptr<CvObject> ObjectFromRecord(const Ptr<CvRecord>& record, bool flag) = 0;
    virtual Ptr<CvObjects> ObjectsFromRecList(const Ptr<CvRecList>& recList, bool flag) = 0;
    virtual Ptr<CvObject> ObjectById(int16_t classId, int32_t objectId) = 0;
    virtual Ptr<CvObject> NewObject(int16_t classId) = 0;
    // The existing link of that class between the two ends, or none.
    virtual Ptr<CvObject> LinkByEnds(int16_t linkClassId, int16_t parentClassId, int32_t parentObjectId,
                                     int16_t childClassId, int32_t childObjectId) = 0;
    virtual Ptr<CvUpdateOptions> DefaultUpdateOptions() = 0;
    virtual Ptr<CvObjects> NewObjectList() = 0;
    virtual Ptr<CvSequences> Sequences() = 0;
    virtual Ptr<CvQuery> NewSqlQuery() = 0;
    virtual Ptr<CvQueryDef> NewQueryDef() = 0;
    virtual Ptr<CvLookupTable> LookupTable(int16_t tableId) = 0;
    virtual Ptr<CvSession> Session() = 0;
};

class CvObject {
public:
    virtual ~CvObject() = default;
    virtual Ptr<CvObject> WorkingObject() = 0;
    virtual void Retrieve() = 0;
    virtual void AddAttributesToRetrieve(const std::string& namesJoinedBySemicolon) = 0;
    virtual Ptr<CvClass> Class() = 0;
    virtual int16_t ClassId() = 0;
    virtual int32_t ObjectId() = 0;
    virtual Ptr<CvRecord> Data() = 0;
    virtual std::string DisplayText(const std::string& separator) = 0;
    virtual void InitialiseNew() = 0;
    virtual void PrepareNew() = 0;
    virtual void Store() = 0;
    virtual void Insert(const Ptr<CvUpdateOptions>& options) = 0;
    virtual void Update(const Ptr<CvUpdateOptions>& options) = 0;
    virtual void Delete(const Ptr<CvUpdateOptions>& options) = 0;
    // A new, unstored link from this object (upper end) to the child.
    virtual Ptr<CvObject> NewLink(int16_t linkClassId, const Ptr<CvObject>& child) = 0;
    virtual Ptr<CvObject> NewLinkTo(int16_t linkClassId, const Ptr<CvObject>& other) = 0;
    // Links this object below the parent; answers the new link.
    virtual Ptr<CvObject> LinkUnderParent(const Ptr<CvObject>& parent, int32_t flag,
                                          const Ptr<CvUpdateOptions>& options) = 0;
    virtual Ptr<CvObject> LinkToParent(int16_t linkClassId, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                       const Ptr<CvUpdateOptions>& options) = 0;
    virtual void AttachToParent(int32_t flag, const Ptr<CvObject>& parent, const Ptr<CvObject>& extra,
                                const Ptr<CvUpdateOptions>& options) = 0;
    virtual void RemoveLink(int32_t flag, const Ptr<CvObject>& other, const Ptr<CvUpdateOptions>& options) = 0;
    virtual Ptr<CvObjects> Children(const Ptr<CvObject>& filter) = 0;
    virtual Ptr<CvTreeLinks> TreeLinks(const Ptr<CvObject>& filter) = 0;
    // The object a reference attribute points to, or none.
    virtual Ptr<CvObject> ReferencedObject(int32_t key) = 0;
    virtual Ptr<CvAttributeDefs> AttributeDefs() = 0;
    // The store that owns this object.
    virtual Ptr<CvObjectStore> ObjectStore() = 0;
};

class CvObjects {
public:
    virtual ~CvObjects() = default;
    virtual void Add(const Ptr<CvObject>& object) = 0;
    virtual int32_t Count() = 0;
    virtual Ptr<CvObject> Item(int32_t position) = 0;
};

class CvTreeLinks {
public:
    virtual ~CvTreeLinks() = default;
    virtual int32_t Count() = 0;
    virtual Ptr<CvTreeLink> Item(int32_t position) = 0;
};

class CvTreeLink {
public:
    virtual ~CvTreeLink() = default;
    virtual Ptr<CvTreeLink> WorkingEntry() = 0;
    // Element 0: the object below; element 1: the link.
    virtual Ptr<CvObject> Element(int32_t index) = 0;
};

class CvSequences {
public:
    virtual ~CvSequences() = default;
    virtual Ptr<CvSequence> SequenceByName(const std::string& name) = 0; // or none
};

class CvSequence {
public:
    virtual ~CvSequence() = default;
    virtual std::string NextValue() = 0;
};

// ---------------------------------------------------------------- data model

class CvMetaInfo {
public:
    virtual ~CvMetaInfo() = default;
    virtual Ptr<CvClass> ClassByName(const std::string& name) = 0;
    virtual Ptr<CvClass> ClassById(int16_t classId) = 0;
    virtual int16_t LinkClassBetween(int16_t parentClassId, int16_t childClassId) = 0;
};

class CvClass {
public:
    virtual ~CvClass() = default;
    virtual int16_t ClassId() = 0;
    virtual int16_t SuperClassId() = 0;
    virtual std::string Name() = 0;
    virtual std::string DisplayName() = 0;
    // This class is that class or below it.
    virtual bool BelongsToClass(int16_t classId) = 0;
    // That class is this class or below it.
    virtual bool IncludesClass(int16_t classId) = 0;
    virtual bool HasAttribute(const std::string& name) = 0;
    virtual Ptr<CvAttributeDefs> AttributeDefs() = 0;
    virtual Ptr<CvClassLinks> LinkClasses() = 0;
};

class CvClassLinks {
public:
    virtual ~CvClassLinks() = default;
    virtual Ptr<CvLinkClasses> LinkClassesTo(int16_t otherClassId) = 0;
};

class CvLinkClasses {
public:
    virtual ~CvLinkClasses() = default;
    virtual int32_t Count() = 0;
    virtual Ptr<CvClass> Item(int32_t position) = 0;
};

class CvAttributeDefs {
public:
    virtual ~CvAttributeDefs() = default;
    virtual Ptr<CvAttributeDef> DefinitionByName(const std::string& name) = 0;
    virtual int32_t Count() = 0;
    virtual Ptr<CvAttributeDef> Item(int32_t position) = 0;
    // The key that CvObject::ReferencedObject takes for this definition.
    virtual int32_t KeyOf(const Ptr<CvAttributeDef>& definition) = 0;
};

class CvAttributeDef {
public:
    virtual ~CvAttributeDef() = default;
    virtual std::string Name() = 0;
    virtual std::string DisplayName() = 0;
    // An AttributeType for the types the component handles; others as the model has them.
    virtual int32_t TypeCode() = 0;
    virtual bool IsMandatory() = 0;
    virtual bool IsPrimary(const std::string& name) = 0;
    virtual int32_t LookupTableId() = 0;
    virtual Ptr<CvReference> Reference() = 0; // or none
};

class CvReference {
public:
    virtual ~CvReference() = default;
    virtual std::string ReferenceText() = 0;
    virtual Ptr<CvAttributeDefs> DisplayAttributes() = 0;
};

class CvLookupTable {
public:
    virtual ~CvLookupTable() = default;
    virtual int32_t Count() = 0;
    virtual Ptr<CvLookupEntry> Item(int16_t position) = 0;
    virtual Ptr<CvLookupEntry> ItemByText(const std::string& text) = 0; // or none
};

class CvLookupEntry {
public:
    virtual ~CvLookupEntry() = default;
    virtual std::string Text() = 0;
    virtual int32_t Code() = 0;
};

// ---------------------------------------------------------------- queries

class CvQuery {
public:
    virtual ~CvQuery() = default;
    virtual void SetSqlText(const std::string& sql) = 0;
    virtual void Run() = 0;
    virtual Ptr<CvRecList> Result() = 0;
};

class CvQueryDef {
public:
    virtual ~CvQueryDef() = default;
    virtual Ptr<CvQuerySpec> Specification() = 0;
    virtual void Run() = 0;
    virtual void RunWithOptions(const Ptr<CvUpdateOptions>& options) = 0;
    virtual Ptr<CvRecList> Result() = 0;
    virtual int32_t RowCount() = 0;
};

class CvQuerySpec {
public:
    virtual ~CvQuerySpec() = default;
    virtual Ptr<CvQueryClasses> Classes() = 0;
    virtual Ptr<CvQueryColumns> Columns() = 0;
    virtual Ptr<CvQueryConditions> Conditions() = 0;
};

class CvQueryClasses {
public:
    virtual ~CvQueryClasses() = default;
    virtual void AddClass(int16_t classId, const std::string& alias) = 0;
};

class CvQueryColumns {
public:
    virtual ~CvQueryColumns() = default;
    virtual void AddColumn(const std::string& attribute, const std::string& alias, int32_t flag) = 0;
};

class CvQueryConditions {
public:
    virtual ~CvQueryConditions() = default;
    virtual void AddCondition(const std::string& connector, const std::string& attribute, const std::string& op,
                              const Value& value, int32_t flag, const std::string& alias) = 0;
};

// ---------------------------------------------------------------- desktop services

class CvGUIServices : public CvDispatch {
public:
    virtual Ptr<CvGUINotifier> ObjectViewNotifier() = 0;
};

class CvGUINotifier {
public:
    virtual ~CvGUINotifier() = default;
    // Code 0 added, 1 changed, 2 deleted.
    virtual void NotifyObjects(int32_t code, const Ptr<CvObjects>& objects, bool flag) = 0;
};

class CvCommonGUI : public CvDispatch {
public:
    virtual Ptr<CvViewMaker> ViewMaker() = 0;
    virtual Ptr<CvDialogMaker> DialogMaker() = 0;
    virtual Ptr<CvDesktopWindow> DesktopWindow() = 0;
};

class CvViewMaker {
public:
    virtual ~CvViewMaker() = default;
    virtual Ptr<CvGUIView> MakeView(int32_t kind) = 0;
};

class CvDialogMaker {
public:
    virtual ~CvDialogMaker() = default;
    // Shows the query dialog; answers 1 when the user confirmed. The dialog comes back in `dialog`.
    virtual int32_t RunQueryDialog(Ptr<CvGUIDialog>& dialog) = 0;
};

class CvGUIDialog {
public:
    virtual ~CvGUIDialog() = default;
    virtual Ptr<CvGUIView> View() = 0;
    virtual void Close() = 0;
    virtual void SetOption(int32_t option) = 0;
    virtual void Prepare() = 0;
    virtual int32_t Show() = 0; // 1 = confirmed
};

class CvGUIView {
public:
    virtual ~CvGUIView() = default;
    virtual Ptr<CvGUISelection> Selection() = 0;
    virtual Ptr<CvGUISelection> Contents() = 0;
    virtual Ptr<CvGUIDialog> ResultDialog() = 0;
    virtual void RefreshObjects(int32_t action, const Ptr<CvObjects>& objects, bool flag) = 0;
};

class CvGUIQuery {
public:
    virtual ~CvGUIQuery() = default;
};

class CvGUISelection {
public:
    virtual ~CvGUISelection() = default;
    virtual Ptr<CvGUIQuery> Query() = 0;
    virtual void SetQuery(const Ptr<CvGUIQuery>& query) = 0;
    virtual Ptr<CvObjects> Objects() = 0;
};

class CvDesktopWindow {
public:
    virtual ~CvDesktopWindow() = default;
    virtual Ptr<CvGUIView> View() = 0;
};

class CvIntegrationStore : public CvDispatch {
public:
    virtual Ptr<CvNewObjectDialog> NewObjectDialog() = 0;
};

class CvNewObjectDialog {
public:
    virtual ~CvNewObjectDialog() = default;
    virtual void Show(const Ptr<CvObject>& object, const Ptr<CvObject>& templateObject, bool flag, bool& accepted) = 0;
};

class CvSessionUtil : public CvDispatch {
public:
    virtual void ShowObject(const Ptr<CvObject>& object, const Ptr<CvObject>& other, bool flag) = 0;
};

// ---------------------------------------------------------------- workflow

class CvFlowStore : public CvDispatch {
public:
    virtual Ptr<CvFlowWorkList> WorkList() = 0;
    virtual Ptr<CvFlowProcess> NewProcess(int16_t processClassId) = 0;
};

class CvFlowWorkList {
public:
    virtual ~CvFlowWorkList() = default;
    virtual Ptr<CvFlowEntries> Entries() = 0;
};

class CvFlowEntries {
public:
    virtual ~CvFlowEntries() = default;
    virtual int32_t Count() = 0;
    virtual Ptr<CvFlowEntry> Entry(int32_t position) = 0;
};

class CvFlowEntry {
public:
    virtual ~CvFlowEntry() = default;
    // Its "OBJECT_ID1" names the process the entry belongs to.
    virtual Ptr<CvObject> Object() = 0;
    virtual void Take() = 0;
    virtual Ptr<CvFlowStep> CurrentStep() = 0;
    virtual Ptr<CvFlowNode> Definition() = 0;
    virtual bool CanForwardTo(const Ptr<CvFlowTarget>& target) = 0;
};

class CvFlowNode {
public:
    virtual ~CvFlowNode() = default;
    virtual Ptr<CvFlowTargets> NextTargets() = 0;
};

class CvFlowTargets {
public:
    virtual ~CvFlowTargets() = default;
    virtual Ptr<CvFlowTarget> Item(int32_t position) = 0;
};

class CvFlowTarget {
public:
    virtual ~CvFlowTarget() = default;
};

class CvFlowStep {
public:
    virtual ~CvFlowStep() = default;
    virtual void Forward(const Ptr<CvFlowTarget>& target, const std::string& comment,
                         std::chrono::system_clock::time_point when) = 0;
};

class CvFlowProcess {
public:
    virtual ~CvFlowProcess() = default;
    // Its "OBJECT_ID" identifies the process.
    virtual Ptr<CvObject> Object() = 0;
    virtual void Attach(const Ptr<CvObject>& object, const Ptr<CvRecord>& record) = 0;
};

} // namespace quendra
