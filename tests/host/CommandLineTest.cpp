// Tests of the quendra command line: init and tree on files, and one clear line with status 2 for every mistake.
#include "CommandRun.h"
#include "Database.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace quendra::host {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CommandLine, InitWithTheSampleThenTreeShowsLinkValuesAndTheLockHolder) {
    TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    auto made = Quendra({"init", db, "--sample"});
    ASSERT_EQ(made.status, 0) << made.errors;
    auto tree = Quendra({"tree", db, "P-100020"});
    ASSERT_EQ(tree.status, 0) << tree.errors;
    EXPECT_EQ(tree.out, "Assembly P-100020 - Output shaft assembly\n"
                        "  Part P-100021 - Output shaft (Quantity=1, Position=10, Length=240) locked by dora\n"
                        "  Part P-100022 - Ball bearing 6206 (Quantity=2, Position=20)\n");
}

// A recording keeps the database as it was before the call beside the scenario file.
class RecordedDatabase : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
        std::ofstream(noAnswers) << "[]";
    }
    Ran Lock(const std::string& number, const std::string& recording) {
        return Quendra({"hook", "LockObject", "--db", db, "--user", "carl", "--row",
                        "Part(CN_PART_NUMBER=" + number + ")", "--answers", noAnswers, "--record", recording});
    }
    TempFolder folder;
    std::string db = folder.Path() + "/plant.db";
    std::string noAnswers = folder.Path() + "/none.json";
};

TEST_F(RecordedDatabase, KeepsWhatIsStillInTheWriteAheadLogOfAnOpenDatabase) {
    auto open = embedded::Database::Open(db);
    open->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-900")}, {"STATE", Value::Int16(5)}});
    auto recording = folder.Path() + "/locked.json";
    auto ran = Lock("P-900", recording);
    ASSERT_EQ(ran.status, 0) << ran.errors;
    auto played = Quendra({"play", recording});
    EXPECT_EQ(played.status, 0) << played.out << played.errors;
}

TEST_F(RecordedDatabase, RefusesToReplaceTheDatabaseItself) {
    auto before = ReadAll(db);
    auto ran = Lock("P-100022", folder.Path() + "/plant.json");
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.errors, "quendra hook: cannot keep the database as " + db + ": it is the database itself\n");
    EXPECT_EQ(ReadAll(db), before);
}

struct Mistake {
    const char* name;
    std::vector<std::string> arguments; // DB stands for an existing database, BAD for a damaged one
    const char* line;                   // the whole error line, with DB and BAD as above
};

class CommandMistakes : public testing::TestWithParam<Mistake> {};

TEST_P(CommandMistakes, OneLineStatusTwoAndNothingChanged) {
    TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    auto bad = folder.Path() + "/bad.db";
    ASSERT_EQ(Quendra({"init", db}).status, 0);
    std::ofstream(bad) << "not a database";
    auto before = ReadAll(db);
    std::vector<std::string> arguments;
    for (auto argument : GetParam().arguments) {
        if (argument == "DB") argument = db;
        if (argument == "BAD") argument = bad;
        arguments.push_back(argument);
    }
    auto ran = Quendra(arguments);
    std::string line = GetParam().line;
    for (auto at = line.find("DB"); at != std::string::npos; at = line.find("DB", at + db.size()))
        line.replace(at, 2, db);
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.errors.substr(0, ran.errors.find('\n') + 1), ran.errors) << "more than one line";
    if (line == "BAD") {
        EXPECT_EQ(ran.errors.find("quendra tree: " + bad + ": "), 0u) << ran.errors;
    } else if (!line.empty()) {
        EXPECT_EQ(ran.errors, line + "\n");
    }
    EXPECT_EQ(ReadAll(db), before);
}

const Mistake Mistakes[] = {
    {"NoCommand", {}, "quendra: A subcommand is required (see quendra --help)"},
    {"InitOnAnExistingFile", {"init", "DB"}, "quendra init: DB exists already; init only makes new database files"},
    {"UnknownModel",
     {"init", "DB2", "--model", "shop"},
     "quendra init: the model \"shop\" is no built-in model (plant) and no model file shop exists"},
    {"UnknownOption",
     {"init", "x.db", "--bogus"},
     "quendra init: The following argument was not expected: --bogus (see quendra init --help)"},
    {"TreeOfAMissingFile", {"tree", "nothing.db", "P-1"}, "quendra tree: no database file nothing.db exists"},
    {"TreeOfADamagedFile", {"tree", "BAD", "P-1"}, "BAD"},
    {"TreeOfAnUnknownPart", {"tree", "DB", "P-404"}, "quendra tree: no part numbered \"P-404\" in DB"},
    {"UnknownHook",
     {"hook", "Lock", "--db", "DB", "--user", "carl"},
     "quendra hook: unknown hook name \"Lock\" (one of AddExistingPart, AddMainPart, AddNewPart, "
     "AfterCheckInDocuments, BeforeAddPartsTreeLink, BeforeCheckOutReleaseDocs, BeforeDeleteDocuments, "
     "BeforeNewReleaseObj, BeforeUpdate, CopyTreeFrom, DeleteLink, LinkUpdate, LockObject, ReplacePart, "
     "ReplacePartByNewPart, UnLockObject, UploadDocument, IsLockedForUpdate)"},
    {"ArgumentTheHookLacks",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--select-op", "APPROVE"},
     "quendra hook: LockObject takes no SelectOp (--select-op)"},
    {"RowNamingNothing",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--row", "P1"},
     "quendra hook: --row P1: the ref \"P1\" names nothing (give it in \"objects\" or \"links\", or write a "
     "selector Class(ATTRIBUTE=text))"},
    {"UnknownUser",
     {"hook", "LockObject", "--db", "DB", "--user", "zed"},
     "quendra hook: there is no user \"zed\" in DB"},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandMistakes, testing::ValuesIn(Mistakes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendra::host
