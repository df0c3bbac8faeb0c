// PlantFixture: an in-memory database of the default model, and platform dialogs answered by the test
// directly (for the embedded platform's own tests, below the scripted user).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Database.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quendra::test {

using embedded::ObjectKey;

// Platform dialogs whose answers the test sets beforehand; it notes what was shown.
class TestDialogs : public embedded::PlatformDialogs {
public:
    bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>&, embedded::SearchQuery& query) override {
        query = nextQuery;
        return true;
    }
    bool RunResultDialog(const std::vector<embedded::SearchCandidate>& found, std::vector<ObjectKey>& picked) override {
        candidates = found;
        picked = pick;
        return true;
    }
    bool RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) override {
        newObjectClass = className;
        shownFields = fields;
        if (fill) fill(fields);
        return true;
    }

    embedded::SearchQuery nextQuery;
    std::vector<ObjectKey> pick;
    std::function<void(std::vector<embedded::NewObjectField>&)> fill;

    std::vector<embedded::SearchCandidate> candidates;
    std::string newObjectClass;
    std::vector<embedded::NewObjectField> shownFields;
};

class PlantFixture : public ::testing::Test {
protected:
    void SetUp() override { Open(":memory:"); }

    // A new database of the default model at the address, with carl logged in.
    void Open(const std::string& address) {
        db = embedded::Database::Create(address, embedded::BuiltInModel("plant"));
        session = db->Login("carl", dialogs);
        store = session->ObjectStore();
        meta = session->MetaInfo();
    }

    ObjectKey Part(const std::string& number, const std::string& cls = "Part",
                   std::vector<std::pair<std::string, Value>> values = {}) {
        values.emplace_back("CN_PART_NUMBER", Value::Text(number));
        return db->CreateObject(cls, values);
    }

    Ptr<CvObject> Object(ObjectKey key) { return store->ObjectById(key.classId, key.objectId); }

    // A server's schema, where the database is on a server; it goes after the database is closed.
    std::optional<embedded::ServerSchema> schema;
    std::shared_ptr<embedded::Database> db;
    TestDialogs dialogs;
    Ptr<CvSession> session;
    Ptr<CvObjectStore> store;
    Ptr<CvMetaInfo> meta;
};

} // namespace quendra::test
