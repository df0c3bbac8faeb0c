// ClsUtils: linking, link attributes, workflow start, deletion, search, redraw, user names, mandatory check.
// SPDX-License-Identifier: Apache-2.0
#include "ClsUtils.h"

#include "AsciiText.h"
#include "AttributeType.h"
#include "ClsForm.h"
#include "MessageBox.h"
#include "Names.h"
#include "ObjectName.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quendra {

using namespace std::string_view_literals;

namespace {

// Entry `position` (from 1) of a list the caller handed in; a short list is a failure like any other.
const std::string& Entry(const StringList& list, size_t position) {
    if (position < 1 || position > list.size()) throw CvError("the list has no entry " + std::to_string(position));
    return list[position - 1];
}

// One pass over a list that keeps some entries in order and drops the others without moving the rest
// once per removal. Entries not reached yet stay when the pass ends early, as dropped ones stay dropped.
class Compaction {
public:
    explicit Compaction(StringList& list) : list_(list) {}
    Compaction(const Compaction&) = delete;
    Compaction& operator=(const Compaction&) = delete;
    ~Compaction() {
        list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(kept_),
                    list_.begin() + static_cast<std::ptrdiff_t>(read_));
    }

    bool HasNext() const { return read_ < list_.size(); }
    const std::string& Next() const { return list_[read_]; }
    // Whether an entry kept so far is this one.
    bool HasKept(const std::string& entry) const {
        return std::find(list_.begin(), list_.begin() + static_cast<std::ptrdiff_t>(kept_), entry) !=
               list_.begin() + static_cast<std::ptrdiff_t>(kept_);
    }
    void Keep() {
        if (kept_ != read_) list_[kept_] = std::move(list_[read_]);
        ++kept_;
        ++read_;
    }
    void Drop() { ++read_; }

private:
    StringList& list_;
    size_t kept_ = 0;
    size_t read_ = 0;
};

// The texts of the duplicate test, made once: it runs at every link.
const std::string NoConnector;
const std::string Equal = "=";
const std::string ParentAlias = "F";
const std::string LinkAlias = "L";
const std::string ChildAlias = "S";

// Type codes the component cannot handle on a link: removed from the collection and reported.
bool IsUnsupportedType(int32_t code) {
    return code == 0 || (code >= 5 && code <= 13) || (code >= 16 && code <= 20);
}

// Writes one edited text into the link's data in the attribute's own type; other codes write nothing.
void WriteConverted(CvRecord& data, const std::string& name, int32_t typeCode, const std::string& text) {
    const Value value = Value::Text(text);
    switch (static_cast<AttributeType>(typeCode)) {
    case AttributeType::Text:
        data.SetValueAsText(name, text);
        break;
    case AttributeType::Int16:
        data.SetValueAsInt16(name, value.AsInt16());
        break;
    case AttributeType::Int32:
        data.SetValueAsInt32(name, value.AsInt32());
        break;
    case AttributeType::Double:
        data.SetValueAsDouble(name, value.AsDouble());
        break;
    case AttributeType::Bool:
        data.SetValueAsBool(name, value.AsBool());
        break;
    default:
        break;
    }
}

// The classes of a link's parent, the link and its child.
struct LinkClasses {
    int16_t parent;
    int16_t link;
    int16_t child;
};

// Makes `query` find the links between the parent and the child; with link attributes, those whose primary
// attributes among them have the given values.
void AskForEqualLinks(CvQueryDef& query, CvMetaInfo& metaInfo, LinkClasses ids, CvObject& Parent, CvObject& Child,
                      const StringListPtr* LinkAttributes, const StringList* Values) {
    auto request = query.Specification();
    auto classes = request->Classes();
    classes->AddClass(ids.parent, ParentAlias);
    classes->AddClass(ids.link, LinkAlias);
    classes->AddClass(ids.child, ChildAlias);
    auto columns = request->Columns();
    columns->AddColumn(names::CLASS_ID, ParentAlias, 0);
    columns->AddColumn(names::CLASS_ID, LinkAlias, 0);
    columns->AddColumn(names::CLASS_ID, ChildAlias, 0);
    auto conditions = request->Conditions();
    conditions->AddCondition(NoConnector, names::CLASS_ID, Equal, Value::Int16(ids.link), 0, LinkAlias);
    conditions->AddCondition(NoConnector, names::OBJECT_ID, Equal, Value::Int32(Parent.ObjectId()), 0, ParentAlias);
    conditions->AddCondition(NoConnector, names::OBJECT_ID, Equal, Value::Int32(Child.ObjectId()), 0, ChildAlias);
    if (!LinkAttributes) return;
    const StringList& attributes = Items(*LinkAttributes);
    // Only primary attributes decide whether an equal link exists already.
    auto definitions = metaInfo.ClassById(ids.link)->AttributeDefs();
    for (size_t i = 1; i <= attributes.size(); ++i) {
        const std::string& name = Entry(attributes, i);
        if (!definitions->DefinitionByName(name)->IsPrimary(name)) continue;
        columns->AddColumn(name, LinkAlias, 0);
        conditions->AddCondition(NoConnector, name, Equal, Value::Text(Entry(*Values, i)), 0, LinkAlias);
    }
}

// The refusal of a link that exists already: with values, as equal in its primary attributes.
void ShowAlreadyLinked(ui::WindowSystem& windows, CvObject& Parent, CvObject& Child, bool withValues) {
    if (withValues) {
        ShowOk(windows,
               "A Hierarchichal Link between Parent Part (" + ObjectName(Parent) + ") and a Son Part" + "\r\n" +
                   " already exists with the same values for Primary Attributes.",
               ui::Icon::Information);
        return;
    }
    // Written in one text with room for both names: the refusal is shown at every repeated link.
    std::string text;
    text.reserve(160);
    text += "Link Between "sv;
    AppendObjectName(text, Parent);
    text += " and "sv;
    AppendObjectName(text, Child);
    text += "cannot be created"sv;
    ShowOk(windows, text, ui::Icon::Information);
}

} // namespace

ClsUtils::ClsUtils(ui::WindowSystem& Windows) : windows_(Windows) {}

void ClsUtils::Link2Object(const Ptr<CvSession>& Session, const Ptr<CvObject>& Parent, const Ptr<CvObject>& Child,
                           const StringListPtr& LinkAttributes, const StringList* Values, bool ShowDialog) {
    Link2ObjectWithOutcome(Session, Parent, Child, LinkAttributes, Values, ShowDialog);
}

ClsUtils::LinkOutcome ClsUtils::Link2ObjectWithOutcome(const Ptr<CvSession>& Session, const Ptr<CvObject>& Parent,
                                                       const Ptr<CvObject>& Child, const StringListPtr& LinkAttributes,
                                                       const StringList* Values, bool ShowDialog) {
    // Every failure ends the linking quietly: the caller goes on as if the link had been handled.
    try {
        auto metaInfo = Session->MetaInfo();
        const int16_t partsId = metaInfo->ClassByName(names::ClassParts)->ClassId();
        const bool parentIsPart = Parent->Class()->BelongsToClass(partsId);
        const bool childIsPart = Child->Class()->BelongsToClass(partsId);
        if (!(parentIsPart && childIsPart)) {
            ShowOk(windows_, "Parent and Child can not be linked. They do not belong to the Parts Super Class",
                   ui::Icon::Critical);
            return LinkOutcome::NotParts;
        }

        auto store = Session->ObjectStore();
        auto options = store->DefaultUpdateOptions()->Copy();
        options->SetMode(2);
        options->SetFirstSwitch(false);

        const int16_t parentClassId = Parent->ClassId();
        const int16_t childClassId = Child->ClassId();
        const int16_t linkClassId = metaInfo->LinkClassBetween(parentClassId, childClassId);

        const bool hasValues = Values != nullptr && !Values->empty();
        auto query = store->NewQueryDef();
        AskForEqualLinks(*query, *metaInfo, {parentClassId, linkClassId, childClassId}, *Parent, *Child,
                         hasValues ? &LinkAttributes : nullptr, Values);
        query->RunWithOptions(options);
        if (query->RowCount() != 0) {
            ShowAlreadyLinked(windows_, *Parent, *Child, Values != nullptr);
            return LinkOutcome::AlreadyLinked;
        }

        auto link = Parent->NewLink(linkClassId, Child);
        link->InitialiseNew();
        if (hasValues) {
            const StringList& attributes = Items(LinkAttributes);
            auto data = link->Data();
            for (size_t i = 1; i <= attributes.size(); ++i)
                data->SetValue(Entry(attributes, i), Value::Text(Entry(*Values, i)));
        }
        if (ShowDialog && !ManageLinkAttributes(link, LinkAttributes)) return LinkOutcome::Cancelled;
        link->Insert(options);
        Refresh_Screen(Session, link, 0);
        return LinkOutcome::Linked;
    } catch (...) {
        return LinkOutcome::Failed;
    }
}

Ptr<CvObject> ClsUtils::GetLinkFromRecordList(const Ptr<CvSession>& Session, const Ptr<CvRecList>& MyRecordList) {
    if (MyRecordList->RecordCount() < 1) {
        ShowOk(windows_, "Impossible to Execute This Command in This Context.", ui::Icon::Exclamation);
        return nullptr;
    }
    const std::string classIdText = MyRecordList->RecordByKey(MyRecordList->KeyAt(1), 0)->ValueAsText(names::CLASS_ID);
    const std::string objectIdText =
        MyRecordList->RecordByKey(MyRecordList->KeyAt(1), 0)->ValueAsText(names::OBJECT_ID);
    const int16_t classId = Value::Text(classIdText).AsInt16();
    const int32_t objectId = Value::Text(objectIdText).AsInt32();
    return Session->ObjectStore()->ObjectById(classId, objectId);
}

StringListPtr ClsUtils::GetAttributesFromScript(const std::string& ParametersListFromScript) {
    // Nothing is reported: a failure answers no list at all.
    try {
        auto list = std::make_shared<StringList>();
        if (ParametersListFromScript.empty()) return list;
        list->reserve(
            static_cast<size_t>(std::count(ParametersListFromScript.begin(), ParametersListFromScript.end(), ',')) + 1);
        size_t start = 0;
        while (true) {
            const size_t comma = ParametersListFromScript.find(',', start);
            list->push_back(
                TrimmedOf(std::string_view(ParametersListFromScript)
                              .substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                          Spaces));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return list;
    } catch (...) {
        return nullptr;
    }
}

StringListPtr ClsUtils::CleanLinkAttributes(const Ptr<CvSession>& Session,
                                            const StringListPtr& LinkAttributesCollection) {
    if (!LinkAttributesCollection) return nullptr;
    StringList& attributes = *LinkAttributesCollection;
    try {
        // Later duplicates go, the first occurrence stays where it is. A short list is searched; in a long one the
        // first occurrences are found by hashing the names where they are, before any of them moves.
        {
            std::vector<bool> firsts;
            if (attributes.size() > 16) {
                std::unordered_set<std::string_view> seen;
                seen.reserve(attributes.size());
                firsts.reserve(attributes.size());
                for (const auto& name : attributes) firsts.push_back(seen.insert(name).second);
            }
            Compaction compaction(attributes);
            for (size_t i = 0; compaction.HasNext(); ++i) {
                if (firsts.empty() ? !compaction.HasKept(compaction.Next()) : firsts[i])
                    compaction.Keep();
                else
                    compaction.Drop();
            }
        }

        {
            Compaction compaction(attributes);
            while (compaction.HasNext()) {
                auto partsTree = Session->MetaInfo()->ClassByName(names::LinkClassPartsTree);
                if (partsTree->HasAttribute(compaction.Next()))
                    compaction.Keep();
                else
                    compaction.Drop();
            }
        }

        std::string report;
        {
            Compaction compaction(attributes);
            while (compaction.HasNext()) {
                auto partsTree = Session->MetaInfo()->ClassByName(names::LinkClassPartsTree);
                const int32_t code = partsTree->AttributeDefs()->DefinitionByName(compaction.Next())->TypeCode();
                if (!IsUnsupportedType(code)) {
                    compaction.Keep();
                    continue;
                }
                if (!report.empty()) report += ", ";
                report += compaction.Next();
                compaction.Drop();
            }
        }

        if (!report.empty()) {
            ShowOk(windows_,
                   "The following attributes cannot be treated because their types is not supported :\r\n" + report +
                       "\r\nPlease Contact your Administrator",
                   ui::Icon::Exclamation);
        }
        return LinkAttributesCollection;
    } catch (...) {
        ShowOk(windows_, "An Error Occured to Clean Link Atrributes Configured in the Script", ui::Icon::Critical);
        return nullptr;
    }
}

bool ClsUtils::ManageLinkAttributes(const Ptr<CvObject>& LinkObject, const StringListPtr& LinkAttributesCollection) {
    ClsForm form(windows_);
    StringList attributes;
    std::vector<std::string> values;
    // Preparing and showing the editor: any failure is reported once and answers False.
    try {
        attributes = Items(LinkAttributesCollection);
        if (attributes.empty()) throw CvError("no link attribute to manage");
        std::vector<std::string> displayNames;
        for (const std::string& name : attributes) {
            displayNames.push_back(LinkObject->AttributeDefs()->DefinitionByName(name)->DisplayName());
            values.push_back(LinkObject->Data()->ValueAsText(name));
        }
        if (!form.ShowLinkAttributes(displayNames, values)) return false;
    } catch (...) {
        ShowOk(windows_, "An Error Occured to Manage Link Atrributes Configured in the Script", ui::Icon::Critical);
        return false;
    }

    // Each accepted value is written on its own; a rejected one does not stop the others.
    for (size_t i = 0; i < attributes.size(); ++i) {
        const std::string& name = attributes[i];
        try {
            const int32_t typeCode = LinkObject->AttributeDefs()->DefinitionByName(name)->TypeCode();
            WriteConverted(*LinkObject->Data(), name, typeCode, values.at(i));
        } catch (...) {
            ShowOk(windows_, "The value of the Attribute " + name + " is not correct", ui::Icon::Exclamation);
        }
    }
    return true;
}

void ClsUtils::CreateProcess(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj, const std::string& ProcessName) {
    {
        ClsForm form(windows_);
        form.ShowMessage(ProcessName + " process creation for " + ObjectName(*Obj));
    }

    auto flowStore = CreateAs<CvFlowStore>(*Session, names::FlowStore);
    auto workList = flowStore->WorkList();
    const int16_t processClassId = Session->MetaInfo()->ClassByName(ProcessName)->ClassId();
    auto process = flowStore->NewProcess(processClassId);

    // The new process's entry is searched from the end of the work list.
    Ptr<CvFlowEntry> found;
    auto entries = workList->Entries();
    const int32_t count = entries->Count();
    for (int32_t position = count - 1; position >= 0; --position) {
        auto entry = entries->Entry(position);
        const int32_t entryProcessId = entry->Object()->Data()->ValueAsInt32(names::OBJECT_ID1);
        const int32_t processId = process->Object()->Data()->ValueAsInt32(names::OBJECT_ID);
        if (entryProcessId == processId) {
            found = entry;
            break;
        }
    }

    if (found) {
        found->Take();
        auto step = found->CurrentStep();
        auto target = found->Definition()->NextTargets()->Item(0);
        if (found->CanForwardTo(target))
            step->Forward(target, ProcessName + " auto initiated", std::chrono::system_clock::now());
    }

    process->Attach(Obj, nullptr);
}

void ClsUtils::DeleteObject(const Ptr<CvSession>& Session, const Ptr<CvObject>& Obj) {
    auto store = Session->ObjectStore();
    auto options = store->DefaultUpdateOptions()->Copy();
    options->SetThirdSetting(2);
    options->SetFourthSetting(2);
    options->SetMode(2);
    auto deleted = store->NewObjectList();
    deleted->Add(Obj);
    auto services = CreateAs<CvGUIServices>(*Session, names::GUIServices);
    Obj->Delete(options);
    services->ObjectViewNotifier()->NotifyObjects(2, deleted, false);
}

Ptr<CvObject> ClsUtils::SearchObject(const Ptr<CvSession>& Session) {
    // A search that fails for any reason simply finds nothing.
    try {
        auto commonGui = CreateAs<CvCommonGUI>(*Session, names::CommonGUI);
        auto searchView = commonGui->ViewMaker()->MakeView(1);

        Ptr<CvGUIDialog> queryDialog;
        if (commonGui->DialogMaker()->RunQueryDialog(queryDialog) != 1) return nullptr;
        auto query = queryDialog->View()->Selection()->Query();
        queryDialog->Close();
        searchView->Selection()->SetQuery(query);

        auto resultDialog = searchView->ResultDialog();
        resultDialog->SetOption(0);
        resultDialog->Prepare();
        if (resultDialog->Show() != 1) return nullptr;

        auto picked = searchView->Contents()->Objects()->Item(0)->WorkingObject();
        picked->Retrieve();
        const int16_t partsId = Session->MetaInfo()->ClassByName(names::ClassParts)->ClassId();
        if (picked->Class()->BelongsToClass(partsId)) return picked;
        ShowOk(windows_, "You Selected an Incorrect Object", ui::Icon::Information);
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

void ClsUtils::Refresh_Screen(const Ptr<CvSession>& Session, const Ptr<CvObject>& ObjectToRefresh,
                              int32_t RefreshAction) {
    // A desktop that cannot redraw never stops the caller.
    try {
        auto objects = Session->ObjectStore()->NewObjectList();
        objects->Add(ObjectToRefresh);
        auto commonGui = CreateAs<CvCommonGUI>(*Session, names::CommonGUI);
        commonGui->DesktopWindow()->View()->RefreshObjects(RefreshAction, objects, true);
    } catch (...) {
    }
}

std::string ClsUtils::GetUserName(const Ptr<CvSession>& Session, int32_t ObjectID) {
    auto query = Session->ObjectStore()->NewSqlQuery();
    query->SetSqlText("select LOGIN from USERS where OBJECT_ID = '" + std::to_string(ObjectID) + "'");
    query->Run();
    auto rows = query->Result();
    if (rows->RowCount() == 1) return rows->ValueAt(0, 0).AsText();
    return "someone else";
}

bool ClsUtils::MandatoryAttributesAreFilled(const Ptr<CvSession>& Session, const Ptr<CvObject>& ObjectToCheck) {
    // A check that cannot be made counts as not passed, without a message.
    try {
        auto definitions = Session->MetaInfo()->ClassById(ObjectToCheck->ClassId())->AttributeDefs();
        const int32_t count = definitions->Count();
        for (int32_t i = 0; i < count; ++i) {
            auto definition = definitions->Item(i);
            if (!definition->IsMandatory()) continue;
            if (!ObjectToCheck->Data()->ValueAsText(definition->Name()).empty()) continue;
            ShowOk(windows_, "Attribute " + definition->DisplayName() + " is mandatory to create a document",
                   ui::Icon::Information);
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quendra
