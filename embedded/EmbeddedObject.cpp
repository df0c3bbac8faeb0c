// Objects and links: their values, storing them, linking them and walking the links below them.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedObject.h"

#include "AsciiText.h"
#include "CvError.h"
#include "EmbeddedAttributeDefs.h"
#include "EmbeddedClass.h"
#include "EmbeddedMetaInfo.h"
#include "EmbeddedObjectStore.h"
#include "EmbeddedObjects.h"
#include "EmbeddedRecord.h"
#include "ReadSnapshot.h"

#include <algorithm>
#include <limits>

namespace quendra::embedded {

namespace {

const std::string kUserIdMod = "USER_ID_MOD";
const std::string kClassId = "CLASS_ID";
const std::string kObjectId = "OBJECT_ID";
// The values that join a link to its ends.
const std::string kLinkEnds[] = {"CLASS_ID1",  "OBJECT_ID1",    "CLASS_ID2",
                                 "OBJECT_ID2", "PAR_OBJECT_ID", "SON_OBJECT_ID"};

class EmbeddedTreeLink : public CvTreeLink {
public:
    EmbeddedTreeLink(std::shared_ptr<Storage> storage, Ptr<CvObject> below, Ptr<CvObject> link)
        : storage_(std::move(storage)), below_(std::move(below)), link_(std::move(link)) {}
    Ptr<CvTreeLink> WorkingEntry() override try {
        auto operation = storage_->Call(CvOperation::CvTreeLink_WorkingEntry);
        return std::make_shared<EmbeddedTreeLink>(storage_, below_, link_);
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvObject> Element(int32_t index) override try {
        auto operation = storage_->Call(CvOperation::CvTreeLink_Element);
        if (index == 0) return below_;
        if (index == 1) return link_;
        throw CvError("a tree link has no element " + std::to_string(index));
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    Ptr<CvObject> below_;
    Ptr<CvObject> link_;
};

class EmbeddedTreeLinks : public CvTreeLinks {
public:
    EmbeddedTreeLinks(std::shared_ptr<Storage> storage, std::vector<Ptr<CvTreeLink>> items)
        : storage_(std::move(storage)), items_(std::move(items)) {}
    int32_t Count() override try {
        auto operation = storage_->Call(CvOperation::CvTreeLinks_Count);
        return static_cast<int32_t>(items_.size());
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvTreeLink> Item(int32_t position) override try {
        auto operation = storage_->Call(CvOperation::CvTreeLinks_Item);
        if (position < 0 || static_cast<size_t>(position) >= items_.size())
            throw CvError("there is no tree link at position " + std::to_string(position));
        return items_[position];
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    std::vector<Ptr<CvTreeLink>> items_;
};

std::shared_ptr<RecordData> EmptyData(const ClassInfo& cls) {
    auto data = std::make_shared<RecordData>();
    data->cls = &cls;
    data->names = NameList(cls.attributes);
    data->values.resize(cls.attributes.size());
    data->Put(kClassId, Value::Int16(cls.id));
    return data;
}

} // namespace

EmbeddedObject& Own(const Ptr<CvObject>& object) {
    auto* own = dynamic_cast<EmbeddedObject*>(object.get());
    if (!own) throw CvError(object ? "the object does not belong to this platform" : "an object is needed here");
    return *own;
}

EmbeddedObject::EmbeddedObject(Context context, const ClassInfo& cls, std::shared_ptr<RecordData> data,
                               int32_t objectId, bool detached)
    : context_(std::move(context)), cls_(&cls), data_(std::move(data)), objectId_(objectId), detached_(detached) {}

void EmbeddedObject::Refill(const ClassInfo& cls, RecordData&& values, int32_t objectId) {
    cls_ = &cls;
    *data_ = std::move(values);
    objectId_ = objectId;
    detached_ = false;
    extraAttributes_.clear();
}

std::shared_ptr<EmbeddedObject> EmbeddedObject::Find(const Context& context, int16_t classId, int32_t objectId) {
    auto stored = context->storage->Load(classId, objectId);
    if (!stored) return nullptr;
    const ClassInfo& cls = *stored->cls;
    return std::make_shared<EmbeddedObject>(context, cls, std::make_shared<RecordData>(std::move(*stored)), objectId);
}

std::shared_ptr<EmbeddedObject> EmbeddedObject::Fetch(const Context& context, int16_t classId, int32_t objectId) {
    auto object = Find(context, classId, objectId);
    if (!object)
        throw CvError("there is no object " + std::to_string(objectId) + " of the class \"" +
                      context->storage->Class(classId).name + "\"");
    return object;
}

std::shared_ptr<EmbeddedObject> EmbeddedObject::New(const Context& context, const ClassInfo& cls) {
    if (cls.kind != ClassKind::Object) throw CvError("objects of \"" + cls.name + "\" are not made this way");
    return std::make_shared<EmbeddedObject>(context, cls, EmptyData(cls), 0);
}

std::shared_ptr<EmbeddedObject> EmbeddedObject::NewLinkBetween(const Context& context, const ClassInfo& linkClass,
                                                               EmbeddedObject& parent, EmbeddedObject& child) {
    if (linkClass.kind != ClassKind::Link) throw CvError("\"" + linkClass.name + "\" is not a link class");
    const Model& model = context->storage->GetModel();
    if (!model.Includes(linkClass.parentId, parent.cls_->id) || !model.Includes(linkClass.childId, child.cls_->id))
        throw CvError("a link of \"" + linkClass.name + "\" cannot join \"" + parent.cls_->name + "\" to \"" +
                      child.cls_->name + "\"");
    if (!parent.IsStored() || !child.IsStored()) throw CvError("both ends of a link must be stored first");
    auto data = EmptyData(linkClass);
    data->Put(kLinkEnds[0], Value::Int16(parent.cls_->id));
    data->Put(kLinkEnds[1], Value::Int32(parent.objectId_));
    data->Put(kLinkEnds[2], Value::Int16(child.cls_->id));
    data->Put(kLinkEnds[3], Value::Int32(child.objectId_));
    data->Put(kLinkEnds[4], Value::Int32(parent.objectId_));
    data->Put(kLinkEnds[5], Value::Int32(child.objectId_));
    return std::make_shared<EmbeddedObject>(context, linkClass, std::move(data), 0);
}

void EmbeddedObject::CheckWritable() const {
    if (detached_) throw CvError("this object cannot be written");
    context_->storage->CheckWritable();
}

Ptr<CvObject> EmbeddedObject::WorkingObject() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_WorkingObject);
    return shared_from_this();
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::Retrieve() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Retrieve);
    if (detached_) return;
    if (!IsStored()) throw CvError("a new object has no stored values to retrieve");
    for (const auto& name : extraAttributes_)
        if (!cls_->Attribute(name))
            throw CvError("the class \"" + cls_->name + "\" has no attribute \"" + name + "\" to retrieve");
    if (!context_->storage->LoadInto(cls_->id, objectId_, *data_))
        throw CvError("the object " + std::to_string(objectId_) + " no longer exists");
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::AddAttributesToRetrieve(const std::string& namesJoinedBySemicolon) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_AddAttributesToRetrieve);
    size_t start = 0;
    while (start <= namesJoinedBySemicolon.size()) {
        size_t end = namesJoinedBySemicolon.find(';', start);
        if (end == std::string::npos) end = namesJoinedBySemicolon.size();
        std::string name =
            TrimmedOf(std::string_view(namesJoinedBySemicolon).substr(start, end - start), SpacesAndTabs);
        if (!name.empty() &&
            std::find(extraAttributes_.begin(), extraAttributes_.end(), name) == extraAttributes_.end())
            extraAttributes_.push_back(name);
        start = end + 1;
    }
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvClass> EmbeddedObject::Class() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Class);
    return context_->classes->Of(*cls_);
} catch (...) {
    context_->storage->Failed();
}

int16_t EmbeddedObject::ClassId() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_ClassId);
    return cls_->id;
} catch (...) {
    context_->storage->Failed();
}

int32_t EmbeddedObject::ObjectId() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_ObjectId);
    return objectId_;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvRecord> EmbeddedObject::Data() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Data);
    // The record reaches the values through the object, which whoever holds the record holds.
    if (!record_)
        record_ = std::make_unique<EmbeddedRecord>(context_->storage,
                                                   std::shared_ptr<RecordData>(std::shared_ptr<void>(), data_.get()));
    return Lend(*record_);
} catch (...) {
    context_->storage->Failed();
}

std::string EmbeddedObject::DisplayText(const std::string& separator) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_DisplayText);
    return context_->storage->DisplayText(*cls_, objectId_, data_.get(), separator);
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::InitialiseNew() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_InitialiseNew);
    if (IsStored()) throw CvError("only a new object can be initialised");
    auto fresh = EmptyData(*cls_);
    if (cls_->kind == ClassKind::Link) {
        // Both records start with the class's names: an end found among them is at the same place in both.
        const bool borrowed = data_->names.Borrows(cls_->attributes);
        for (const std::string& end : kLinkEnds) {
            const int position = data_->Find(end);
            if (borrowed && position >= 0 && static_cast<size_t>(position) < cls_->attributes.size())
                fresh->values[position] = data_->values[position];
            else
                fresh->Put(end, data_->Get(end));
        }
    }
    *data_ = std::move(*fresh);
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::PrepareNew() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_PrepareNew);
    if (IsStored()) throw CvError("only a new object can be prepared");
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::InsertNow() {
    CheckWritable();
    if (IsStored()) throw CvError("the object " + std::to_string(objectId_) + " is stored already");
    RecordData written = *data_;
    written.cls = cls_;
    if (cls_->Attribute(kUserIdMod)) written.Put(kUserIdMod, Value::Int32(context_->userId));
    Storage& storage = *context_->storage;
    int32_t objectId = 0;
    RepeatableWrite(storage.Sql(), [&] { objectId = storage.Insert(*cls_, written); });
    objectId_ = objectId;
    if (data_->Has(kUserIdMod) || written.Has(kUserIdMod)) data_->Put(kUserIdMod, written.Get(kUserIdMod));
    data_->Put(kClassId, Value::Int16(cls_->id));
    data_->Put(kObjectId, Value::Int32(objectId));
    storage.Record(events::Insert{Key()});
}

void EmbeddedObject::UpdateNow() {
    CheckWritable();
    if (!IsStored()) throw CvError("a new object cannot be updated before it is stored");
    // Only the values set since the object was made or retrieved: a value merely read may be stale, and
    // writing it back would undo another user's change made since. The modifier is written in its place
    // among them, or after them.
    const AttributeInfo* userIdMod = cls_->Attribute(kUserIdMod);
    const Value modifier = Value::Int32(context_->userId);
    const size_t borrowed = data_->names.Borrows(cls_->attributes) ? cls_->attributes.size() : 0;
    std::vector<Storage::Written> written;
    written.reserve(static_cast<size_t>(std::count(data_->set.begin(), data_->set.end(), true)) + 1);
    bool modifierWritten = false;
    for (size_t i = 0; i < data_->names.size(); ++i) {
        if (!data_->IsSet(i)) continue; // the object's names are each there once
        const AttributeInfo* attribute = i < borrowed ? &cls_->attributes[i] : cls_->Attribute(data_->names[i]);
        if (!attribute) continue;
        const bool isModifier = attribute == userIdMod;
        modifierWritten = modifierWritten || isModifier;
        written.push_back({attribute, isModifier ? &modifier : &data_->values[i]});
    }
    if (userIdMod && !modifierWritten) written.push_back({userIdMod, &modifier});
    Storage& storage = *context_->storage;
    RepeatableWrite(storage.Sql(), [&] {
        if (!storage.Update(*cls_, objectId_, written))
            throw CvError("the object " + std::to_string(objectId_) + " no longer exists");
    });
    if (const int position = data_->Find(kUserIdMod); position >= 0) {
        if (userIdMod)
            data_->values[position] = modifier;
        else if (!data_->IsSet(position))
            throw CvError("the record has no attribute \"" + kUserIdMod + "\"");
    }
    storage.Record(events::Update{Key()});
}

void EmbeddedObject::Store() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Store);
    if (IsStored())
        UpdateNow();
    else
        InsertNow();
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::Insert(const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Insert);
    InsertNow();
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::Update(const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Update);
    UpdateNow();
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::Delete(const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Delete);
    CheckWritable();
    if (!IsStored()) throw CvError("a new object cannot be deleted");
    Storage& storage = *context_->storage;
    RepeatableWrite(storage.Sql(), [&] { storage.Delete(*cls_, objectId_); });
    storage.Record(events::Delete{Key()});
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObject::NewLink(int16_t linkClassId, const Ptr<CvObject>& child) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_NewLink);
    return NewLinkBetween(context_, context_->storage->Class(linkClassId), *this, Own(child));
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObject::NewLinkTo(int16_t linkClassId, const Ptr<CvObject>& other) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_NewLinkTo);
    const ClassInfo& linkClass = context_->storage->Class(linkClassId);
    EmbeddedObject& end = Own(other);
    const Model& model = context_->storage->GetModel();
    if (linkClass.kind == ClassKind::Link &&
        !(model.Includes(linkClass.parentId, cls_->id) && model.Includes(linkClass.childId, end.cls_->id)))
        return NewLinkBetween(context_, linkClass, end, *this);
    return NewLinkBetween(context_, linkClass, *this, end);
} catch (...) {
    context_->storage->Failed();
}

std::shared_ptr<EmbeddedObject> EmbeddedObject::MakeLink(const ClassInfo& linkClass, const Ptr<CvObject>& parent) {
    auto link = NewLinkBetween(context_, linkClass, Own(parent), *this);
    link->InsertNow();
    return link;
}

Ptr<CvObject> EmbeddedObject::LinkUnderParent(const Ptr<CvObject>& parent, int32_t, const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_LinkUnderParent);
    EmbeddedObject& upper = Own(parent);
    const ClassInfo* linkClass =
        EmbeddedMetaInfo::FindLinkClass(context_->storage->GetModel(), upper.cls_->id, cls_->id);
    if (!linkClass) throw CvError("there is no link class from \"" + upper.cls_->name + "\" to \"" + cls_->name + "\"");
    return MakeLink(*linkClass, parent);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObject::LinkToParent(int16_t linkClassId, const Ptr<CvObject>& parent, const Ptr<CvObject>&,
                                           const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_LinkToParent);
    return MakeLink(context_->storage->Class(linkClassId), parent);
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::AttachToParent(int32_t, const Ptr<CvObject>& parent, const Ptr<CvObject>&,
                                    const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_AttachToParent);
    EmbeddedObject& upper = Own(parent);
    const ClassInfo* linkClass =
        EmbeddedMetaInfo::FindLinkClass(context_->storage->GetModel(), upper.cls_->id, cls_->id);
    if (!linkClass) throw CvError("there is no link class from \"" + upper.cls_->name + "\" to \"" + cls_->name + "\"");
    MakeLink(*linkClass, parent);
} catch (...) {
    context_->storage->Failed();
}

void EmbeddedObject::RemoveLink(int32_t, const Ptr<CvObject>& other, const Ptr<CvUpdateOptions>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_RemoveLink);
    EmbeddedObject& end = Own(other);
    CheckWritable();
    if (!IsStored() || !end.IsStored()) throw CvError("a new object has no links to remove");
    Storage& storage = *context_->storage;
    const std::vector<LinkRow> links = storage.RemoveLinksBetween(objectId_, end.objectId_);
    for (const auto& link : links) storage.Record(events::Delete{{link.linkClassId, link.linkId}});
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObjects> EmbeddedObject::Children(const Ptr<CvObject>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_Children);
    auto children = std::make_shared<EmbeddedObjects>(context_->storage);
    if (!IsStored()) return children;
    ReadSnapshot snapshot(context_->storage->Sql());
    const auto links = context_->storage->LinksBelow(*cls_, objectId_);
    auto read = context_->storage->ReadChildren(*cls_, objectId_, links);
    for (const auto& link : links)
        if (auto stored = read.Take(link))
            children->Append(std::make_shared<EmbeddedObject>(
                context_, *stored->cls, std::make_shared<RecordData>(std::move(*stored)), link.childId));
    return children;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvTreeLinks> EmbeddedObject::TreeLinks(const Ptr<CvObject>&) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_TreeLinks);
    std::vector<Ptr<CvTreeLink>> items;
    if (IsStored()) {
        ReadSnapshot snapshot(context_->storage->Sql());
        // The links come with their stored values, the children with one read per table they are in.
        auto links = context_->storage->LinksBelowAfter(*cls_, objectId_, 0,
                                                        static_cast<size_t>(std::numeric_limits<int64_t>::max()));
        auto read = context_->storage->ReadChildren(*cls_, objectId_, links);
        for (auto& [row, values] : links.links) {
            auto stored = read.Take(row);
            if (!stored) continue;
            auto child = std::make_shared<EmbeddedObject>(
                context_, *stored->cls, std::make_shared<RecordData>(std::move(*stored)), row.childId);
            const ClassInfo& linkClass = *values.cls;
            auto link = std::make_shared<EmbeddedObject>(context_, linkClass,
                                                         std::make_shared<RecordData>(std::move(values)), row.linkId);
            items.push_back(std::make_shared<EmbeddedTreeLink>(context_->storage, child, link));
        }
    }
    return std::make_shared<EmbeddedTreeLinks>(context_->storage, std::move(items));
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObject::ReferencedObject(int32_t key) try {
    auto operation = context_->storage->Call(CvOperation::CvObject_ReferencedObject);
    if (key < 0 || static_cast<size_t>(key) >= cls_->attributes.size())
        throw CvError("the class \"" + cls_->name + "\" has no attribute with the key " + std::to_string(key));
    const AttributeInfo& attribute = cls_->attributes[key];
    if (!attribute.reference) throw CvError("the attribute \"" + attribute.name + "\" refers to no object");
    const Value& value = data_->Get(attribute.name);
    if (value.IsNull()) return nullptr;
    int32_t objectId = value.AsInt32();
    if (objectId == 0) return nullptr;
    return Find(context_, attribute.reference->classId, objectId);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvAttributeDefs> EmbeddedObject::AttributeDefs() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_AttributeDefs);
    return MakeAttributeDefs(context_->storage, *cls_);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObjectStore> EmbeddedObject::ObjectStore() try {
    auto operation = context_->storage->Call(CvOperation::CvObject_ObjectStore);
    return std::make_shared<EmbeddedObjectStore>(context_);
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
