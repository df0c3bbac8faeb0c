// EmbeddedObject: an object or link of the embedded platform, stored or new, with the values it carries.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "RecordData.h"
#include "SessionContext.h"
#include "Spare.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

class EmbeddedObject : public CvObject, public Lends<EmbeddedObject> {
public:
    // detached: a view the workflow hands out, which cannot be written.
    EmbeddedObject(Context context, const ClassInfo& cls, std::shared_ptr<RecordData> data, int32_t objectId,
                   bool detached = false);

    // The stored object with all its values; CvError when there is none.
    static std::shared_ptr<EmbeddedObject> Fetch(const Context& context, int16_t classId, int32_t objectId);
    // The stored object, or none.
    static std::shared_ptr<EmbeddedObject> Find(const Context& context, int16_t classId, int32_t objectId);
    // A new, unstored object of the class with every attribute empty.
    static std::shared_ptr<EmbeddedObject> New(const Context& context, const ClassInfo& cls);
    // A new, unstored link of that class from parent to child.
    static std::shared_ptr<EmbeddedObject> NewLinkBetween(const Context& context, const ClassInfo& linkClass,
                                                          EmbeddedObject& parent, EmbeddedObject& child);

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

    ObjectKey Key() const { return {cls_->id, objectId_}; }
    const ClassInfo& Info() const { return *cls_; }
    bool IsStored() const { return objectId_ != 0; }
    const std::shared_ptr<RecordData>& Values() const { return data_; }
    // Whether nobody but the object holds its values (its record is a part of it).
    bool ValuesUnshared() const { return HeldAlone(data_); }
    // Becomes the stored object of that class with those values, as one made of them would be. Only for an object
    // nobody else sees: its holder alone, its values and record unshared.
    void Refill(const ClassInfo& cls, RecordData&& values, int32_t objectId);

private:
    void CheckWritable() const;
    void InsertNow();
    void UpdateNow();
    std::shared_ptr<EmbeddedObject> MakeLink(const ClassInfo& linkClass, const Ptr<CvObject>& parent);

    Context context_;
    const ClassInfo* cls_;
    std::shared_ptr<RecordData> data_; // never replaced, only its contents (so record_ stays the object's)
    std::unique_ptr<CvRecord> record_; // the record over data_, made on first use and lent
    int32_t objectId_;
    bool detached_;
    std::vector<std::string> extraAttributes_;
};

// The platform object behind an interface pointer; CvError for none or a foreign object.
EmbeddedObject& Own(const Ptr<CvObject>& object);

} // namespace quendra::embedded
