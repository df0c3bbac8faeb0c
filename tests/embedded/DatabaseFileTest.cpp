// Database files: making, opening, sharing between sessions, and files that cannot be used.
// SPDX-License-Identifier: Apache-2.0
#include "PlantFixture.h"

#include "CvError.h"
#include "TempFolder.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace quendra::embedded {
namespace {

class DatabaseFileTest : public ::testing::Test {
protected:
    void SetUp() override { path = folder.Path() + "/plant.db"; }

    playback::TempFolder folder;
    std::string path;
    test::TestDialogs dialogs;
};

TEST_F(DatabaseFileTest, AFileKeepsModelDataAndSequencesAcrossOpenings) {
    {
        auto db = Database::Create(path, BuiltInModel("plant"));
        db->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-1")}});
        auto session = db->Login("carl", dialogs);
        EXPECT_EQ(session->ObjectStore()->Sequences()->SequenceByName("Part Number")->NextValue(), "P-000001");
        EXPECT_THROW(Database::Create(path, BuiltInModel("plant")), EmbeddedError);
    }
    auto reopened = Database::Open(path);
    EXPECT_EQ(reopened->FindObjects("Parts", "CN_PART_NUMBER", "P-1").size(), 1u);
    auto session = reopened->Login("dora", dialogs);
    EXPECT_EQ(session->ObjectStore()->Sequences()->SequenceByName("Part Number")->NextValue(), "P-000002");
}

TEST_F(DatabaseFileTest, TwoHandlesOnOneFileSeeEachOthersWrites) {
    auto first = Database::Create(path, BuiltInModel("plant"));
    auto second = Database::Open(path);
    ObjectKey part = first->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-1")}});
    auto carl = first->Login("carl", dialogs);
    auto dora = second->Login("dora", dialogs);
    auto seenByDora = dora->ObjectStore()->ObjectById(part.classId, part.objectId);
    EXPECT_FALSE(seenByDora->Data()->ValueAsBool("CN_LOCKED"));

    auto heldByCarl = carl->ObjectStore()->ObjectById(part.classId, part.objectId);
    heldByCarl->Data()->SetValueAsBool("CN_LOCKED", true);
    heldByCarl->Data()->SetValueAsInt32("USER_OBJECT_ID", carl->CurrentUser()->UserObjectId());
    heldByCarl->Update(carl->ObjectStore()->DefaultUpdateOptions());

    seenByDora->Retrieve();
    EXPECT_TRUE(seenByDora->Data()->ValueAsBool("CN_LOCKED"));
    EXPECT_EQ(seenByDora->Data()->ValueAsInt32("USER_OBJECT_ID"), *second->UserId("carl"));
    EXPECT_FALSE(dora->CurrentUser()->IsAdministrator());
    EXPECT_TRUE(first->Login("admin", dialogs)->CurrentUser()->IsAdministrator());
    EXPECT_THROW(first->Login("nobody", dialogs), EmbeddedError);
}

TEST_F(DatabaseFileTest, AWriteWaitsWhileAnotherConnectionHoldsTheDatabase) {
    auto db = Database::Create(path, BuiltInModel("plant"));
    ObjectKey part = db->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-1")}});
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    auto session = db->Login("carl", dialogs);
    auto object = session->ObjectStore()->ObjectById(part.classId, part.objectId);
    object->Data()->SetValueAsBool("CN_LOCKED", true);
    EXPECT_NO_THROW(object->Update(session->ObjectStore()->DefaultUpdateOptions()));
    release.join();
    sqlite3_close(other);
    EXPECT_TRUE(db->ReadValue(part, "CN_LOCKED").AsBool());
}

// Read-only, damaged and foreign files are refused with their reasons in the environment fault tests.
TEST_F(DatabaseFileTest, AMissingFileIsRefusedByName) {
    try {
        Database::Open(path);
        ADD_FAILURE() << "opened";
    } catch (const EmbeddedError& error) {
        EXPECT_EQ(error.file, path);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace quendra::embedded
