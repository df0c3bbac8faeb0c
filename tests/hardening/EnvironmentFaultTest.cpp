// A broken environment: each fault of the file, its folder, the disk or another program gets its own message,
// and leaves the database as it was. Also reading a file that cannot be written.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "CommandRun.h"
#include "CvError.h"
#include "Names.h"
#include "Processes.h"
#include "TestWorld.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace quendra::test {
namespace {

// A disk that fills up on demand: while `full` is set, every write to a file fails as on a full disk. The
// test process's default file system is wrapped once; the wrapping changes nothing while `full` is clear.
std::atomic<bool> full{false};
sqlite3_vfs fullDisk;
// The file methods of the real file system (the database and its log have different ones), each with the
// copy whose write fails on a full disk.
std::vector<std::pair<const sqlite3_io_methods*, std::unique_ptr<sqlite3_io_methods>>> methods;

int WriteUnlessFull(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    if (full) return SQLITE_FULL;
    for (const auto& [real, wrapped] : methods)
        if (wrapped.get() == file->pMethods) return real->xWrite(file, data, amount, offset);
    return SQLITE_IOERR_WRITE;
}

int OpenOnFullDisk(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    int rc = real->xOpen(real, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    auto known = std::find_if(methods.begin(), methods.end(), [&](const auto& m) { return m.first == file->pMethods; });
    if (known == methods.end()) {
        auto wrapped = std::make_unique<sqlite3_io_methods>(*file->pMethods);
        wrapped->xWrite = WriteUnlessFull;
        methods.emplace_back(file->pMethods, std::move(wrapped));
        known = methods.end() - 1;
    }
    file->pMethods = known->second.get();
    return rc;
}

void InstallFullDisk() {
    static bool installed = [] {
        sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
        fullDisk = *real;
        fullDisk.zName = "full-disk";
        fullDisk.pAppData = real;
        fullDisk.xOpen = OpenOnFullDisk;
        return sqlite3_vfs_register(&fullDisk, 1) == SQLITE_OK;
    }();
    ASSERT_TRUE(installed);
}

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// Another program that holds the database locked while it lives.
class Holder {
public:
    Holder(const std::string& path, const std::string& sql) {
        sqlite3_open(path.c_str(), &db_);
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
    }
    ~Holder() { sqlite3_close_v2(db_); }

private:
    sqlite3* db_ = nullptr;
};

class EnvironmentFaultTest : public testing::Test {
protected:
    void SetUp() override {
        InstallFullDisk();
        setenv("QUENDRA_BUSY_WAIT_MS", "300", 1);
        auto db = embedded::Database::Create(path, embedded::BuiltInModel("plant"));
        part = db->CreateObject(names::ClassPart,
                                {{names::CN_PART_NUMBER, Value::Text("P-1")}, {names::STATE, Value::Int16(5)}});
    }
    void TearDown() override {
        full = false;
        unsetenv("QUENDRA_BUSY_WAIT_MS");
        chmod(File(folder, "").c_str(), 0700);
    }

    playback::TempFolder folder;
    const std::string path = File(folder, "plant.db");
    ObjectKey part;
};

// Opening refuses the file; the message says what is wrong and what to do.
TEST_F(EnvironmentFaultTest, OpeningABrokenDatabaseSaysWhatIsWrongAndChangesNothing) {
    struct Case {
        std::string name;
        std::function<void()> breakIt;
        std::string message;
    };
    std::unique_ptr<Holder> holder;
    const std::vector<Case> cases = {
        {"locked by another program",
         [&] { holder = std::make_unique<Holder>(path, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE"); },
         "the database is locked by another program (waited 300 milliseconds): try again when that program is "
         "done, or close it"},
        {"read-only file", [&] { chmod(path.c_str(), 0444); },
         "the database file is read-only: make it writable (chmod u+w), then try again"},
        {"folder without write permission", [&] { chmod(File(folder, "").c_str(), 0555); },
         "no permission to write in the folder " + std::filesystem::path(path).parent_path().string() +
             ", where the database keeps its log beside the file: ask for write access to the folder, or move the "
             "file to a folder you can write"},
        {"no database", [&] { std::ofstream(path, std::ios::trunc) << std::string(8192, 'x'); },
         "the file is not a database"},
        {"damaged",
         [&] {
             std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(4096); // the first table's page: the data model
             file.write(std::string(64, '\xff').data(), 64);
         },
         "the database is damaged (database disk image is malformed): restore it from a backup"},
        {"another program's database", [&] { Sql(path, "DROP TABLE PLATFORM_MODEL"); },
         "the file is a database of another program, not one of this platform"},
        {"another model", [&] { Sql(path, "ALTER TABLE PARTS DROP COLUMN CN_DESCRIPTION"); },
         "the database does not fit its data model: the table PARTS has no column CN_DESCRIPTION; it belongs to "
         "another model or was changed by another program"},
        {"newer format", [&] { Sql(path, "PRAGMA user_version=7"); },
         "the database was made by a newer version of this platform (format 7, this version reads format 1): open "
         "it with that version"},
    };
    const std::string original = FileBytes(path);
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
        c.breakIt();
        const std::string before = FileBytes(path);
        try {
            embedded::Database::Open(path);
            ADD_FAILURE() << c.name << ": opened";
        } catch (const embedded::EmbeddedError& error) {
            EXPECT_EQ(error.file, path) << c.name;
            EXPECT_EQ(std::string(error.what()), c.message) << c.name;
        }
        holder.reset();
        EXPECT_TRUE(FileBytes(path) == before) << c.name;
        EXPECT_FALSE(std::filesystem::exists(path + "-wal")) << c.name;
        chmod(path.c_str(), 0644);
        chmod(File(folder, "").c_str(), 0700);
    }
}

// Somebody else's file that this user may read but not write: the superuser may write any file, so the
// check runs in a child process that has given up the superuser's rights.
TEST_F(EnvironmentFaultTest, AFileOfSomebodyElseIsRefusedForWritingAndReadForReading) {
    if (geteuid() != 0) GTEST_SKIP() << "needs to run as the superuser to become another user";
    chmod(File(folder, "").c_str(), 0755);
    chmod(path.c_str(), 0644);
    const std::string before = FileBytes(path);
    pid_t child = RunInChild(File(folder, "other.report"), [&]() -> std::vector<std::string> {
        if (setgid(65534) != 0 || setuid(65534) != 0) return {"cannot become another user"};
        std::vector<std::string> problems;
        try {
            embedded::Database::Open(path);
            problems.push_back("opened for writing");
        } catch (const embedded::EmbeddedError& error) {
            if (std::string(error.what()) !=
                "no permission to write the database file: ask its owner for write access, then try again")
                problems.push_back(error.what());
        }
        try {
            auto reading = embedded::Database::Open(path, embedded::OpenMode::ReadOnly);
            if (reading->ReadValue(part, names::CN_PART_NUMBER) != Value::Text("P-1")) problems.push_back("misread");
        } catch (const std::exception& error) {
            problems.push_back(std::string("reading: ") + error.what());
        }
        return problems;
    });
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(ReadLines(File(folder, "other.report")), std::vector<std::string>{});
    EXPECT_TRUE(FileBytes(path) == before);
}

// A hook that meets a locked database answers as it does for any failure it catches, and the failure is an error
// event saying what happened; the part stays as it was. A hook on a full disk is the next test's: its line is
// the error event's text.
TEST_F(EnvironmentFaultTest, AHookMeetingALockedDatabaseRecordsWhy) {
    scripted::ScriptedUser user;
    auto db = embedded::Database::Open(path);
    auto session = db->Login("carl", user);
    std::vector<embedded::HookRow> listed(1);
    listed[0].key = part;
    auto rows = db->MakeRecList(listed);
    const std::string before = FileBytes(path) + FileBytes(path + "-wal");
    {
        Holder holder(path, "BEGIN IMMEDIATE");
        EXPECT_EQ(Application(user).LockObject(session, rows), 1);
    }
    std::vector<std::pair<std::string, std::string>> errors;
    for (const auto& event : db->Harness().Events())
        if (auto* error = std::get_if<embedded::events::Error>(&event))
            errors.emplace_back(error->operation, error->text);
    EXPECT_EQ(errors, (std::vector<std::pair<std::string, std::string>>{
                          {"CvObject.Update", "the database " + path +
                                                  " is locked by another program (waited 300 milliseconds): try again "
                                                  "when that program is done, or close it"}}));
    EXPECT_FALSE(db->ReadValue(part, names::CN_LOCKED).AsBool());
    EXPECT_TRUE(FileBytes(path) + FileBytes(path + "-wal") == before);
}

// What stops a command on a file is the machine's, exit status 3: a full disk while a hook writes or init
// makes a file, a database in a folder nobody may write. The database stays as it was, init leaves no file.
TEST_F(EnvironmentFaultTest, ACommandTheMachineStopsExitsWithThreeAndChangesNothing) {
    const std::string none = File(folder, "none.json");
    std::ofstream(none) << "[]";
    const std::vector<std::string> lock{
        "hook", "LockObject", "--db", path, "--user", "carl", "--row", "Part(CN_PART_NUMBER=P-1)", "--answers", none};
    struct Case {
        std::string name;
        std::function<void()> breakIt;
        std::vector<std::string> command;
        std::string errors;
    };
    const std::string made = File(folder, "made.db");
    const std::vector<Case> cases = {
        {"a hook on a full disk", [] { full = true; }, lock,
         "quendra hook: the disk holding the database " + path + " is full: free some space, then try again\n"},
        {"init on a full disk", [] { full = true; }, {"init", made}, ""},
        {"a hook in a folder nobody may write", [&] { chmod(File(folder, "").c_str(), 0555); }, lock,
         "quendra hook: " + path + ": no permission to write in the folder " + folder.Path() +
             ", where the database keeps its log beside the file: ask for write access to the folder, or move "
             "the file to a folder you can write\n"},
    };
    for (const auto& c : cases) {
        const std::string before = FileBytes(path) + FileBytes(path + "-wal");
        c.breakIt();
        auto ran = Quendra(c.command);
        full = false;
        chmod(File(folder, "").c_str(), 0700);
        EXPECT_EQ(ran.status, 3) << c.name << ": " << ran.errors;
        if (!c.errors.empty()) {
            EXPECT_EQ(ran.errors, c.errors) << c.name;
        }
        EXPECT_FALSE(embedded::Database::Open(path)->ReadValue(part, names::CN_LOCKED).AsBool()) << c.name;
        EXPECT_FALSE(std::filesystem::exists(made)) << c.name;
    }
}

// Printing the tree only reads: a file nobody may write, in either journal mode, is read and left as it was.
TEST_F(EnvironmentFaultTest, TheTreeOfADatabaseThatCannotBeWrittenIsPrintedAndTheFileStaysAsItWas) {
    embedded::ObjectKey link;
    {
        auto db = embedded::Database::Open(path);
        auto child = db->CreateObject(
            names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("P-2")}, {"CN_DESCRIPTION", Value::Text("Pin")}});
        link = db->CreateLink(names::LinkClassPartsTree, part, child, {{"CN_QUANTITY", Value::Int16(3)}});
    }
    struct Case {
        std::string journal;
        mode_t mode;
    };
    // A writable file too: reading it must not turn its rollback journal into a write-ahead log.
    for (const auto& [journal, mode] : {Case{"delete", 0444}, Case{"wal", 0444}, Case{"delete", 0644}}) {
        chmod(path.c_str(), 0644);
        Sql(path, "PRAGMA journal_mode=" + journal);
        chmod(path.c_str(), mode);
        const std::string before = FileBytes(path);
        auto tree = Quendra({"tree", path, "P-1"});
        EXPECT_EQ(tree.status, 0) << journal << ": " << tree.errors;
        EXPECT_EQ(tree.out,
                  "Part P-1 - \n  Part P-2 - Pin (Parts Tree#" + std::to_string(link.objectId) + ": Quantity=3)\n")
            << journal;
        EXPECT_TRUE(FileBytes(path) == before) << journal;
        auto reading = embedded::Database::Open(path, embedded::OpenMode::ReadOnly);
        scripted::ScriptedUser user;
        auto store = reading->Login("carl", user)->ObjectStore();
        auto object = store->ObjectById(part.classId, part.objectId);
        object->Data()->SetValueAsText("CN_DESCRIPTION", "Changed");
        try {
            object->Update(store->DefaultUpdateOptions());
            ADD_FAILURE() << journal << ": written";
        } catch (const CvError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "the database " + path + " is open for reading only: nothing can be written");
        }
        if (mode == 0444) {
            EXPECT_FALSE(std::filesystem::exists(path + "-wal")) << journal;
            EXPECT_FALSE(std::filesystem::exists(path + "-shm")) << journal;
        }
        EXPECT_EQ(RawDatabase(path).Column("PRAGMA journal_mode"), std::vector<std::string>{journal});
    }
}

} // namespace
} // namespace quendra::test
