// The object store: objects from records and ids, new objects, options, sequences and lookup tables.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedObjectStore.h"

#include "CvError.h"
#include "EmbeddedObject.h"
#include "EmbeddedObjects.h"
#include "EmbeddedQuery.h"
#include "EmbeddedQueryDef.h"
#include "EmbeddedRecord.h"
#include "EmbeddedSession.h"

namespace quendra::embedded {

namespace {

const std::string kClassId = "CLASS_ID";
const std::string kObjectId = "OBJECT_ID";

class EmbeddedUpdateOptions : public CvUpdateOptions {
public:
    explicit EmbeddedUpdateOptions(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}
    Ptr<CvUpdateOptions> Copy() override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_Copy);
        // The copy made last is handed out again, as a copy of these options now, once nobody else holds it.
        EmbeddedUpdateOptions* copy = copy_.Unheld();
        if (!copy) copy = copy_.Keep(std::make_shared<EmbeddedUpdateOptions>(storage_)).get();
        copy->TakeSettingsOf(*this);
        return copy_.Kept();
    } catch (...) {
        storage_->Failed();
    }
    void SetMode(int16_t mode) override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_SetMode);
        mode_ = mode;
    } catch (...) {
        storage_->Failed();
    }
    void SetFirstSwitch(bool on) override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_SetFirstSwitch);
        first_ = on;
    } catch (...) {
        storage_->Failed();
    }
    void SetSecondSwitch(bool on) override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_SetSecondSwitch);
        second_ = on;
    } catch (...) {
        storage_->Failed();
    }
    void SetThirdSetting(int16_t setting) override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_SetThirdSetting);
        third_ = setting;
    } catch (...) {
        storage_->Failed();
    }
    void SetFourthSetting(int16_t setting) override try {
        auto operation = storage_->Call(CvOperation::CvUpdateOptions_SetFourthSetting);
        fourth_ = setting;
    } catch (...) {
        storage_->Failed();
    }

    // Back to the defaults.
    void Reset() {
        mode_ = 0;
        first_ = true;
        second_ = true;
        third_ = 0;
        fourth_ = 0;
    }
    void TakeSettingsOf(const EmbeddedUpdateOptions& other) {
        mode_ = other.mode_;
        first_ = other.first_;
        second_ = other.second_;
        third_ = other.third_;
        fourth_ = other.fourth_;
    }

private:
    Spare<EmbeddedUpdateOptions> copy_; // the copy made last
    std::shared_ptr<Storage> storage_;
    int16_t mode_ = 0;
    bool first_ = true;
    bool second_ = true;
    int16_t third_ = 0;
    int16_t fourth_ = 0;
};

class EmbeddedSequence : public CvSequence {
public:
    EmbeddedSequence(Context context, std::string name) : context_(std::move(context)), name_(std::move(name)) {}
    std::string NextValue() override try {
        auto operation = context_->storage->Call(CvOperation::CvSequence_NextValue);
        context_->storage->CheckWritable();
        auto next = context_->storage->NextSequenceValue(name_);
        if (!next) throw CvError("the sequence \"" + name_ + "\" does not exist");
        return *next;
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
    std::string name_;
};

class EmbeddedSequences : public CvSequences {
public:
    explicit EmbeddedSequences(Context context) : context_(std::move(context)) {}
    Ptr<CvSequence> SequenceByName(const std::string& name) override try {
        auto operation = context_->storage->Call(CvOperation::CvSequences_SequenceByName);
        for (const auto& sequence : context_->storage->GetModel().sequences)
            if (sequence.name == name) return std::make_shared<EmbeddedSequence>(context_, name);
        return nullptr;
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
};

class EmbeddedLookupEntry : public CvLookupEntry {
public:
    EmbeddedLookupEntry(std::shared_ptr<Storage> storage, const std::pair<int32_t, std::string>& entry)
        : storage_(std::move(storage)), entry_(entry) {}
    std::string Text() override try {
        auto operation = storage_->Call(CvOperation::CvLookupEntry_Text);
        return entry_.second;
    } catch (...) {
        storage_->Failed();
    }
    int32_t Code() override try {
        auto operation = storage_->Call(CvOperation::CvLookupEntry_Code);
        return entry_.first;
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    const std::pair<int32_t, std::string>& entry_;
};

class EmbeddedLookupTable : public CvLookupTable {
public:
    EmbeddedLookupTable(std::shared_ptr<Storage> storage, const LookupInfo& lookup)
        : storage_(std::move(storage)), lookup_(lookup) {}
    int32_t Count() override try {
        auto operation = storage_->Call(CvOperation::CvLookupTable_Count);
        return static_cast<int32_t>(lookup_.entries.size());
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvLookupEntry> Item(int16_t position) override try {
        auto operation = storage_->Call(CvOperation::CvLookupTable_Item);
        if (position < 0 || static_cast<size_t>(position) >= lookup_.entries.size())
            throw CvError("the lookup table \"" + lookup_.name + "\" has no entry at position " +
                          std::to_string(position));
        return std::make_shared<EmbeddedLookupEntry>(storage_, lookup_.entries[position]);
    } catch (...) {
        storage_->Failed();
    }
    Ptr<CvLookupEntry> ItemByText(const std::string& text) override try {
        auto operation = storage_->Call(CvOperation::CvLookupTable_ItemByText);
        for (const auto& entry : lookup_.entries)
            if (entry.second == text) return std::make_shared<EmbeddedLookupEntry>(storage_, entry);
        return nullptr;
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    const LookupInfo& lookup_;
};

} // namespace

Ptr<CvObject> EmbeddedObjectStore::FromRecord(const Ptr<CvRecord>& record) {
    auto* own = dynamic_cast<EmbeddedRecord*>(record.get());
    if (!own) throw CvError(record ? "the record does not belong to this platform" : "a record is needed here");
    const RecordData& source = *own->Data();
    Storage& storage = *context_->storage;
    const int classPosition = source.Find(kClassId);
    if (classPosition < 0) throw CvError("the record has no attribute \"" + kClassId + "\"");
    const ClassInfo* cls = &storage.Class(source.values[classPosition].AsInt16());
    const int objectPosition = source.Find(kObjectId);
    int32_t objectId = objectPosition >= 0 ? source.values[objectPosition].AsInt32() : 0;
    if (objectId != 0 && cls->family.size() > 1) {
        // A record may name a class above the object's own; the object keeps its own class.
        auto stored = storage.Load(cls->id, objectId);
        if (!stored) throw CvError("there is no object " + std::to_string(objectId) + " of \"" + cls->name + "\"");
        cls = stored->cls;
    }
    auto data = std::make_shared<RecordData>();
    data->cls = cls;
    const bool sameNames = source.names.Borrows(cls->attributes);
    if (sameNames) {
        // A record read for the same class: its names are the class's attributes (then perhaps names of its
        // own), each once, so they are taken over as they are.
        data->names = source.names;
        data->values.reserve(source.values.size() + 1);
        for (size_t i = 0; i < source.values.size(); ++i) {
            const AttributeInfo* attribute =
                i < cls->attributes.size() ? &cls->attributes[i] : cls->Attribute(source.names[i]);
            data->values.push_back(attribute ? ConvertToType(source.values[i], attribute->type) : source.values[i]);
        }
    } else {
        data->names.reserve(source.names.size() + 1);
        data->values.reserve(source.names.size() + 1);
        for (size_t i = 0; i < source.names.size(); ++i) {
            const AttributeInfo* attribute = cls->Attribute(source.names[i]);
            data->Put(source.names[i], attribute ? ConvertToType(source.values[i], attribute->type) : source.values[i]);
        }
    }
    if (objectId == 0 && cls->kind != ClassKind::Object) throw CvError("the record names no stored object");
    if (sameNames) // the class id is where the record has it
        data->values[classPosition] = Value::Int16(cls->id);
    else
        data->Put(kClassId, Value::Int16(cls->id));
    return std::make_shared<EmbeddedObject>(context_, *cls, std::move(data), objectId);
}

Ptr<CvObject> EmbeddedObjectStore::ObjectFromRecord(const Ptr<CvRecord>& record, bool) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_ObjectFromRecord);
    return FromRecord(record);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObjects> EmbeddedObjectStore::ObjectsFromRecList(const Ptr<CvRecList>& recList, bool) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_ObjectsFromRecList);
    if (!recList) throw CvError("a record list is needed here");
    auto objects = std::make_shared<EmbeddedObjects>(context_->storage);
    int32_t rows = recList->RowCount();
    for (int32_t row = 0; row < rows; ++row) objects->Append(FromRecord(recList->RecordAt(row)));
    return objects;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObjectStore::ObjectById(int16_t classId, int32_t objectId) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_ObjectById);
    return EmbeddedObject::Fetch(context_, classId, objectId);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObjectStore::NewObject(int16_t classId) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_NewObject);
    return EmbeddedObject::New(context_, context_->storage->Class(classId));
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObject> EmbeddedObjectStore::LinkByEnds(int16_t linkClassId, int16_t parentClassId, int32_t parentObjectId,
                                              int16_t childClassId, int32_t childObjectId) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_LinkByEnds);
    Storage& storage = *context_->storage;
    const ClassInfo& linkClass = storage.Class(linkClassId);
    if (linkClass.kind != ClassKind::Link) throw CvError("\"" + linkClass.name + "\" is not a link class");
    const Model& model = storage.GetModel();
    for (const auto& row : storage.LinksByEnds(linkClass, parentObjectId, childObjectId)) {
        if (!model.Includes(parentClassId, row.parentClassId) && !model.Includes(row.parentClassId, parentClassId))
            continue;
        if (!model.Includes(childClassId, row.childClassId) && !model.Includes(row.childClassId, childClassId))
            continue;
        if (auto link = EmbeddedObject::Find(context_, linkClassId, row.linkId)) return link;
    }
    return nullptr;
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvUpdateOptions> EmbeddedObjectStore::DefaultUpdateOptions() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_DefaultUpdateOptions);
    // The last options handed out are set back to the defaults and handed out again once nobody holds them.
    if (CvUpdateOptions* options = spareOptions_.Unheld()) {
        static_cast<EmbeddedUpdateOptions&>(*options).Reset();
        return spareOptions_.Kept();
    }
    return spareOptions_.Keep(std::make_shared<EmbeddedUpdateOptions>(context_->storage));
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvObjects> EmbeddedObjectStore::NewObjectList() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_NewObjectList);
    return lists_.Next(context_->storage);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvSequences> EmbeddedObjectStore::Sequences() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_Sequences);
    return std::make_shared<EmbeddedSequences>(context_);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvQuery> EmbeddedObjectStore::NewSqlQuery() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_NewSqlQuery);
    return std::make_shared<EmbeddedQuery>(context_->storage);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvQueryDef> EmbeddedObjectStore::NewQueryDef() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_NewQueryDef);
    // The last query is emptied and handed out again once nobody holds it or its parts any more.
    if (EmbeddedQueryDef* query = spareQuery_.Unheld()) {
        query->Clear();
        return spareQuery_.Kept();
    }
    return spareQuery_.Keep(std::make_shared<EmbeddedQueryDef>(context_->storage));
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvLookupTable> EmbeddedObjectStore::LookupTable(int16_t tableId) try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_LookupTable);
    const LookupInfo* lookup = context_->storage->GetModel().Lookup(tableId);
    if (!lookup) throw CvError("there is no lookup table with the id " + std::to_string(tableId));
    return std::make_shared<EmbeddedLookupTable>(context_->storage, *lookup);
} catch (...) {
    context_->storage->Failed();
}

Ptr<CvSession> EmbeddedObjectStore::Session() try {
    auto operation = context_->storage->Call(CvOperation::CvObjectStore_Session);
    return std::make_shared<EmbeddedSession>(context_);
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
