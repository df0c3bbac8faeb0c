// EmbeddedObjectStore: a session's way to objects, update options, sequences, queries and lookup tables.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "EmbeddedObjects.h"
#include "SessionContext.h"

#include <memory>

namespace quendra::embedded {

class EmbeddedQueryDef;

class EmbeddedObjectStore : public CvObjectStore {
public:
    explicit EmbeddedObjectStore(Context context) : context_(std::move(context)) {}
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

private:
    Ptr<CvObject> FromRecord(const Ptr<CvRecord>& record);

    Context context_;
    Spare<EmbeddedQueryDef> spareQuery_;  // the query last handed out
    Spare<CvUpdateOptions> spareOptions_; // the default options last handed out
    SpareObjects lists_;                  // new object lists
};

} // namespace quendra::embedded
