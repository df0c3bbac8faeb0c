// Database files: making and opening them, and a file that is missing.
// SPDX-License-Identifier: Apache-2.0
#include "PlantFixture.h"

#include "CvError.h"
#include "TempFolder.h"

#include <filesystem>

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
    EXPECT_THROW(reopened->Login("nobody", dialogs), EmbeddedError);
}

// Another handle's writes seen after a refresh are DesktopWindowTest's, a write that waits for another
// connection ContentionTest's; read-only, damaged and foreign files are refused with their reasons in the
// environment fault tests.
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
