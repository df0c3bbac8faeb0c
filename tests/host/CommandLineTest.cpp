// Tests of the quendra command line: init and tree on files, and one clear line with status 2 for every mistake.
// SPDX-License-Identifier: Apache-2.0
#include "CommandRun.h"
#include "Database.h"
#include "MakingFile.h"
#include "Processes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#ifdef QUENDRA_WITH_QT
#include "QtMessages.h"

#include <QtGlobal>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <vector>

#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quendra::host {
namespace {

using test::Quendra;

// The names in a folder, sorted.
std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Every file in a folder with a hash of its bytes, by name; SQLite's files beside a database that a reader
// opened (-wal, -shm) come and go with it.
std::vector<std::pair<std::string, size_t>> Contents(const std::string& folder) {
    std::vector<std::pair<std::string, size_t>> contents;
    for (const auto& name : FileNames(folder))
        if (!name.ends_with("-wal") && !name.ends_with("-shm"))
            contents.emplace_back(name, std::hash<std::string>()(test::FileBytes(folder + "/" + name)));
    return contents;
}

// Past 32 levels a line says its level instead of being indented further, so a chain of n parts prints in
// space that grows with n, not with n squared.
TEST(CommandLine, TreeSaysTheLevelOfDeepLinesInsteadOfIndentingThem) {
    playback::TempFolder folder;
    auto db = folder.Path() + "/chain.db";
    std::string expected = "Part C-0 - Link\n";
    {
        test::PlantFile file(db);
        auto parts = file.Parts("C-", 40, {{"CN_DESCRIPTION", Value::Text("Link")}});
        for (size_t level = 1; level < parts.size(); ++level) {
            auto link = file.db->CreateLink("Parts Tree", parts[level - 1], parts[level], {});
            expected += std::string(std::min<size_t>(level, 32) * 2, ' ') +
                        (level > 32 ? "[level " + std::to_string(level) + "] " : "") + "Part C-" +
                        std::to_string(level) + " - Link (Parts Tree#" + std::to_string(link.objectId) + ")\n";
        }
    }
    auto tree = Quendra({"tree", db, "C-0"});
    ASSERT_EQ(tree.status, 0) << tree.errors;
    EXPECT_EQ(tree.out, expected);
}

// A file copied to a server shows the same tree there, and both hand out the same object id next.
TEST(CommandLine, CopyMovesAFileToAServerWithItsTreeAndNumbers) {
    const std::string server = QUENDRA_TEST_POSTGRES;
    if (server.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
    playback::TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
    embedded::ServerSchema schema(server, "copy_" + std::to_string(getpid()));
    auto copied = Quendra({"copy", db, schema.Address()});
    ASSERT_EQ(copied.status, 0) << copied.errors;
    EXPECT_NE(copied.errors.find("copied USERS: 3 rows\n"), std::string::npos) << copied.errors;
    auto onFile = Quendra({"tree", db, "P-100000"});
    auto onServer = Quendra({"tree", schema.Address(), "P-100000"});
    ASSERT_EQ(onServer.status, 0) << onServer.errors;
    EXPECT_EQ(onServer.out, onFile.out);
    const test::Values part{{"CN_PART_NUMBER", Value::Text("N-1")}, {"STATE", Value::Int16(5)}};
    EXPECT_EQ(embedded::Database::Open(schema.Address())->CreateObject("Part", part),
              embedded::Database::Open(db)->CreateObject("Part", part));

    auto again = Quendra({"copy", db, schema.Address()});
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.errors.find("holds a database of this platform already"), std::string::npos) << again.errors;
}

// Two runs at once on one path: one makes the database, the other is refused and leaves it alone,
// and neither leaves a file of its own behind.
TEST(CommandLine, TwoInitsOnOnePathLeaveOneWholeDatabase) {
    playback::TempFolder folder, reports;
    for (int round = 0; round < 30; ++round) {
        auto db = folder.Path() + "/race" + std::to_string(round) + ".db";
        const test::ChildWork init = [&] {
            return std::vector<std::string>(Quendra({"init", db, "--sample"}).status == 0 ? 0 : 1, "refused");
        };
        auto refused = test::RunTogether(reports, {{"first", init}, {"second", init}});
        EXPECT_EQ(refused[0].size() + refused[1].size(), 1u) << "round " << round;
        EXPECT_EQ(embedded::Database::Open(db)->FindObjects("Part", "CN_PART_NUMBER", "P-100030").size(), 1u);
    }
    for (const auto& name : FileNames(folder.Path()))
        EXPECT_TRUE(name.starts_with("race") && name.ends_with(".db")) << name;
}

// A signal that stops init takes its temporary file and SQLite's files beside it along.
TEST(CommandLine, InitsTemporaryFileGoesWithTheSignalThatStopsIt) {
    playback::TempFolder folder;
    for (int signal : {SIGINT, SIGTERM}) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            MakingFile made(folder.Path() + "/plant.db");
            for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::ofstream(made.Path() + suffix) << "x";
            raise(signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{}) << signal;
    }
}

// A maker killed outright leaves its files; the next init of that name removes them, but not those of a
// maker that still runs, and a name as long as a file name may be gets a temporary name that fits too.
TEST(CommandLine, InitRemovesTheTemporaryFilesOfMakersThatAreGone) {
    playback::TempFolder folder;
    pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string dead = ".plant.db.making-" + std::to_string(gone) + "-17";
    const std::string running = ".plant.db.making-" + std::to_string(getpid()) + "-18";
    for (const std::string& name : {dead, dead + "-wal", dead + "-shm", running, std::string(".plant.db.making-notes")})
        std::ofstream(folder.Path() + "/" + name) << "x";
    auto made = Quendra({"init", folder.Path() + "/plant.db"});
    ASSERT_EQ(made.status, 0) << made.errors;
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{running, ".plant.db.making-notes", "plant.db"}));

    const std::string longest = std::string(250, 'n') + ".db";
    auto longName = Quendra({"init", folder.Path() + "/" + longest, "--sample"});
    EXPECT_EQ(longName.status, 0) << longName.errors;
    EXPECT_EQ(FileNames(folder.Path()),
              (std::vector<std::string>{running, ".plant.db.making-notes", longest, "plant.db"}));
}

// Errors of the surroundings, not of the arguments: one line, nothing made or changed; a missing
// temporary folder is the machine's fault (status 3).
TEST(CommandLine, ARemovedWorkingFolderOrNoTemporaryFolderIsOneLine) {
    playback::TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
    auto scenario = folder.Path() + "/s.json";
    std::ofstream(scenario) << R"({"model": "plant", "steps": []})";
    auto before = Contents(folder.Path());

    auto home = std::filesystem::current_path();
    auto gone = folder.Path() + "/gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    auto called =
        Quendra({"hook", "LockObject", "--db", db, "--user", "carl", "--row", "Part(CN_PART_NUMBER=P-100022)"});
    std::filesystem::current_path(home);
    EXPECT_EQ(called.status, 2);
    EXPECT_EQ(called.errors, "quendra hook: the working folder cannot be read (No such file or directory); it may "
                             "have been removed: change to an existing folder\n");
    EXPECT_EQ(Contents(folder.Path()), before);

    auto none = folder.Path() + "/none";
    setenv("TMPDIR", none.c_str(), 1);
    auto played = Quendra({"play", scenario});
    auto made = Quendra({"init", folder.Path() + "/new.db", "--sample"});
    unsetenv("TMPDIR");
    std::string why = "no temporary folder to work in: TMPDIR names " + none +
                      ", which is no folder; set TMPDIR to an existing folder\n";
    EXPECT_EQ(played.status, 3);
    EXPECT_EQ(played.errors, "quendra: " + scenario + ": cannot be played here: " + why);
    EXPECT_EQ(made.status, 3);
    EXPECT_EQ(made.errors, "quendra init: " + why);
    EXPECT_EQ(Contents(folder.Path()), before);
}

#ifdef QUENDRA_WITH_QT
TEST(CommandLine, TheQtPluginsNotesAboutItselfStayOffTheTerminal) {
    qt::QuietQtPlatformNotes();
    testing::internal::CaptureStderr();
    qWarning("This plugin does not support propagateSizeHints()");
    qWarning("QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-root'");
    qWarning("a warning that matters");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "a warning that matters\n");
}
#endif

TEST(CommandLine, ABusyWaitThatIsNoWaitIsSaidBeforeAnythingRuns) {
    playback::TempFolder folder;
    for (const char* wait : {"-5", "abc", "7200000", " 5"}) {
        setenv("QUENDRA_BUSY_WAIT_MS", wait, 1);
        auto made = Quendra({"init", folder.Path() + "/plant.db"});
        unsetenv("QUENDRA_BUSY_WAIT_MS");
        EXPECT_EQ(made.status, 2);
        EXPECT_EQ(made.errors, "quendra init: QUENDRA_BUSY_WAIT_MS is \"" + std::string(wait) +
                                   "\": set it to a whole number of milliseconds from 0 to 3600000, or unset it to "
                                   "wait 10 seconds\n");
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    }
}

TEST(CommandLine, HelpAndVersionAnswerAndEveryUsageLineStartsWithQuendra) {
    for (const std::vector<std::string>& asked :
         {std::vector<std::string>{"help"}, {"--help"}, {"help", "play"}, {"tree", "--help"}, {"hook", "--help"}}) {
        auto ran = Quendra(asked);
        EXPECT_EQ(ran.status, 0) << asked.front();
        auto usage = ran.out.find("Usage: ");
        EXPECT_TRUE(usage != std::string::npos && ran.out.compare(usage, 15, "Usage: quendra ") == 0) << ran.out;
    }
    auto version = Quendra({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("quendra ") && version.out.ends_with("\n")) << version.out;
}

TEST(CommandLine, ListCallsNamesEveryOperationAFaultCanName) {
    std::string names;
    for (const auto& name : embedded::FailableCalls()) names += name + "\n";
    auto listed = Quendra({"play", "--list-calls"});
    EXPECT_EQ(listed.status, 0) << listed.errors;
    EXPECT_EQ(listed.out, names);
}

// A recording keeps the database as it was before the call beside the scenario file, with what another
// program keeps open in the write-ahead log, and a text that is not UTF-8 as a scenario file holds it; --force
// replaces both files. Answers that fit keep the hook's writes, and the replay matches the call.
TEST(CommandLine, ARecordedCallReplaysWithPlay) {
    playback::TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
    auto open = embedded::Database::Open(db);
    open->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-901")},
                                {"CN_DESCRIPTION", Value::Text("Gear \xff\xfe wheel")},
                                {"CN_LOCKED", Value::Bool(true)},
                                {"USER_OBJECT_ID", Value::Int32(*open->UserId("dora"))}});
    auto ok = folder.Path() + "/ok.json";
    std::ofstream(ok) << R"([{"button": "OK"}])";
    auto recording = folder.Path() + "/gear.json";
    for (const char* kept : {"/gear.json", "/gear.db"}) std::ofstream(folder.Path() + kept) << "kept";
    auto ran = Quendra({"hook", "LockObject", "--db", db, "--user", "carl", "--row", "Part(CN_PART_NUMBER=P-100022)",
                        "--row", "Part(CN_PART_NUMBER=P-901)", "--answers", ok, "--record", recording, "--force"});
    ASSERT_EQ(ran.status, 0) << ran.errors;
    EXPECT_NE(Quendra({"tree", db, "P-100022"}).out.find("locked by carl"), std::string::npos);
    EXPECT_NE(test::FileBytes(recording).find("Gear \xEF\xBF\xBD\xEF\xBF\xBD wheel"), std::string::npos);
    auto played = Quendra({"play", recording});
    EXPECT_EQ(played.status, 0) << played.out << played.errors;
}

// Answers that do not fit the windows undo everything the hook wrote, and the call is not recorded: carl
// locks P-100022, then is told that dora holds P-100021.
struct AnswersCase {
    const char* name;
    const char* answers;
    const char* errors; // the lines before the one saying that the writes are undone
    friend void PrintTo(const AnswersCase& test, std::ostream* out) { *out << test.name; }
};

class AnswersThatDoNotFit : public testing::TestWithParam<AnswersCase> {};

TEST_P(AnswersThatDoNotFit, UndoTheCall) {
    playback::TempFolder folder;
    auto db = folder.Path() + "/plant.db";
    auto answers = folder.Path() + "/answers.json";
    ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
    std::ofstream(answers) << GetParam().answers;
    auto before = Contents(folder.Path());
    auto ran =
        Quendra({"hook", "LockObject", "--db", db, "--user", "carl", "--row", "Part(CN_PART_NUMBER=P-100022)", "--row",
                 "Part(CN_PART_NUMBER=P-100021)", "--answers", answers, "--record", folder.Path() + "/r.json"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.errors, GetParam().errors + std::string("\nquendra hook: the answers do not fit the windows "
                                                          "shown; the hook's writes are undone\n"));
    EXPECT_EQ(Contents(folder.Path()), before);
}

const AnswersCase AnswersCases[] = {
    {"NoAnswerLeft", "[]",
     "quendra hook: the message box \"Part P-100021-Output shaft is locked by Dora Lind\" appeared with no answer "
     "left"},
    {"AnswerOfTheWrongKind", R"([{"choose": "x", "button": "OK"}])",
     "quendra hook: the answer {\"choose\":\"x\",\"button\":\"OK\"} does not fit the message box \"Part "
     "P-100021-Output shaft is locked by Dora Lind\""},
    {"AnswerLeftOver", R"([{"button": "OK"}, {"button": "No"}])", "quendra hook: answer not used: {\"button\":\"No\"}"},
};

INSTANTIATE_TEST_SUITE_P(Commands, AnswersThatDoNotFit, testing::ValuesIn(AnswersCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct Mistake {
    const char* name;
    std::vector<std::string> arguments; // DB stands for a database, BAD for a damaged one, DIR for their folder
    const char* line;                   // the whole error line, with DB, BAD and DIR as above
    const char* file = nullptr;         // when given, the content of a file that FILE stands for
    friend void PrintTo(const Mistake& test, std::ostream* out) { *out << test.name; }
};

class CommandMistakes : public testing::TestWithParam<Mistake> {};

TEST_P(CommandMistakes, OneLineStatusTwoAndNothingChanged) {
    const auto& mistake = GetParam();
    playback::TempFolder folder;
    const std::string dir = folder.Path(), db = dir + "/plant.db", bad = dir + "/bad.db", file = dir + "/f.json";
    ASSERT_EQ(Quendra({"init", db}).status, 0);
    std::ofstream(bad) << "not a database";
    if (mistake.file) std::ofstream(file) << mistake.file;
    // One pass, so that a placeholder in the folder's own name stays as it is.
    std::vector<std::pair<std::string, std::string>> placeholders{{"DB", db}, {"BAD", bad}, {"DIR", dir}};
    if (mistake.file) placeholders.emplace_back("FILE", file);
    auto filled = [&](const std::string& text) {
        std::string result;
        for (size_t at = 0; at < text.size();) {
            auto found = std::find_if(placeholders.begin(), placeholders.end(),
                                      [&](const auto& p) { return text.compare(at, p.first.size(), p.first) == 0; });
            result += found == placeholders.end() ? text.substr(at, 1) : found->second;
            at += found == placeholders.end() ? 1 : found->first.size();
        }
        return result;
    };
    std::vector<std::string> arguments;
    for (const auto& argument : mistake.arguments) arguments.push_back(filled(argument));
    auto before = Contents(dir);
    auto ran = Quendra(arguments);
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.errors, filled(mistake.line) + "\n");
    EXPECT_EQ(Contents(dir), before);
}

const Mistake Mistakes[] = {
    {"NoCommand", {}, "quendra: A subcommand is required (see quendra --help)"},
    {"InitOnAnExistingFile", {"init", "DB"}, "quendra init: DB exists already; init only makes new database files"},
    {"InitOfNoName", {"init", ""}, "quendra init: the database file name is empty; give a file path such as plant.db"},
    {"InitInMemory",
     {"init", ":memory:"},
     "quendra init: \":memory:\" names a database in memory, which init cannot keep; give a file path"},
    {"InitOfAUri",
     {"init", "file:DIR/u.db?mode=rwc"},
     "quendra init: \"file:DIR/u.db?mode=rwc\" is a URI; init makes plain files only: give a file path"},
    {"UnknownModel",
     {"init", "DB2", "--model", "shop"},
     "quendra init: the model \"shop\" is no built-in model (plant) and no model file shop exists"},
    {"UnknownOption",
     {"init", "x.db", "--bogus"},
     "quendra init: The following argument was not expected: --bogus (see quendra init --help)"},
    {"PlayNothing",
     {"play"},
     "quendra play: no scenario file to play: give one or more FILE (see quendra play --help)"},
    {"ListCallsAndPlay",
     {"play", "--list-calls", "x.json"},
     "quendra play: --list-calls plays nothing: give it without scenario files"},
    {"TreeOfAMissingFile", {"tree", "nothing.db", "P-1"}, "quendra tree: no database file nothing.db exists"},
    {"TreeOfADamagedFile", {"tree", "BAD", "P-1"}, "quendra tree: BAD: the file is not a database"},
    {"TreeOfAnUnknownPart", {"tree", "DB", "P-404"}, "quendra tree: no part numbered \"P-404\" in DB"},
    {"UnknownHook",
     {"hook", "Lock", "--db", "DB", "--user", "carl"},
     "quendra hook: unknown hook name \"Lock\" (quendra hooks lists the eighteen; the name comes first: quendra "
     "hook NAME --db FILE --user LOGIN [--row REF]... [arguments] [--answers FILE])"},
    {"MistypedHook",
     {"hook", "lockobjekt", "--db", "DB", "--user", "carl"},
     "quendra hook: unknown hook name \"lockobjekt\"; did you mean LockObject? (quendra hooks lists the eighteen; "
     "the name comes first: quendra hook NAME --db FILE --user LOGIN [--row REF]... [arguments] [--answers FILE])"},
    {"MistypedOption",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--rows", "P1"},
     "quendra hook: The following arguments were not expected: P1 --rows; did you mean --row where you wrote --rows? "
     "(see quendra hook --help)"},
    {"HelpOfNoCommand", {"help", "bogus"}, "quendra help: unknown command 'bogus' (quendra --help lists the commands)"},
    {"LinkRowByNoSuchValue",
     {"hook", "DeleteLink", "--db", "DB", "--user", "carl", "--row", "Parts Tree(Colour=red)"},
     "quendra hook: command line: the selector Parts Tree(Colour=red) cannot be used: a link of \"Parts Tree\" has "
     "no \"Colour\" (give parent=, child=, id= or a link attribute)"},
    {"ArgumentTheHookLacks",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--select-op", "APPROVE"},
     "quendra hook: LockObject takes no SelectOp (--select-op)"},
    {"RowNamingNothing",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--row", "P1"},
     "quendra hook: --row P1: the ref \"P1\" names nothing (give it in \"objects\" or \"links\", or write a "
     "selector Class(ATTRIBUTE=text))"},
    {"AnswerKeyGivenTwice",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--answers", "FILE"},
     "quendra hook: FILE: /0/button: the key \"button\" is given twice in one object",
     R"([{"button": "OK", "button": "Cancel"}])"},
    {"ModelKeyGivenTwice",
     {"init", "DB2", "--model", "FILE"},
     "quendra init: FILE: /classes/0/name: the key \"name\" is given twice in one object",
     R"({"classes": [{"id": 1, "name": "Users", "name": "Parts", "attributes": []}]})"},
    {"UnknownUser",
     {"hook", "LockObject", "--db", "DB", "--user", "zed"},
     "quendra hook: there is no user \"zed\" in DB"},
    {"AnswersNamingNoFile",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--answers", ""},
     "quendra hook: --answers names no file: give the answers file, or leave --answers out to answer the windows "
     "yourself"},
    {"ForceWithoutRecord",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--answers", "FILE", "--force"},
     "quendra hook: --force requires --record (see quendra hook --help)",
     "[]"},
    // A recording never replaces a file unless forced, and is refused before the hook runs.
    {"RecordingExists",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--record", "FILE"},
     "quendra hook: FILE exists already; give --force to replace it",
     "kept"},
    {"RecordingsDatabaseExists",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--record", "DIR/bad.json"},
     "quendra hook: BAD exists already; give --force to replace it"},
    {"RecordingTheDatabaseItselfEvenForced",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--record", "DIR/plant.json", "--force"},
     "quendra hook: cannot keep the database as DB: it is the database itself"},
    {"RecordingNameNotUtf8",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--record", "DIR/r\xff.json"},
     "quendra hook: the copy of the database \"r\xEF\xBF\xBD.db\" is not UTF-8 text, which a recording cannot keep: "
     "give it in UTF-8 to record the call"},
    {"RecordingIntoNoFolder",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--record", "DIR/missing/r.json"},
     "quendra hook: cannot keep the database as DIR/missing/r.db: unable to open database file"},
    {"PlayOnAServerNamedEmpty",
     {"play", "--database", "", "x.json"},
     "quendra play: --database takes a database server's address (postgresql://...), not \"\"; leave it out to "
     "play in memory"},
#ifdef QUENDRA_WITH_QT
    {"WindowsIntoNoFolder",
     {"windows", "--out", ""},
     "quendra windows: --out names no folder: give the folder for the pictures"},
#endif
    {"OptionBeforeTheCommand",
     {"--bogus"},
     "quendra: unknown option --bogus: a command comes first, and its options after it (quendra --help lists the "
     "commands)"},
    {"AnswersFileAFolder",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--answers", "DIR"},
     "quendra hook: DIR: is a folder; give a file"},
    {"LinkIdNotANumber",
     {"hook", "DeleteLink", "--db", "DB", "--user", "carl", "--row", "Parts Tree(id=22 OR 1=1)"},
     "quendra hook: command line: the selector Parts Tree(id=22 OR 1=1) cannot be used: id is a 32-bit integer, and "
     "\"22 OR 1=1\" is not a number"},
    {"ObjectValueNotANumber",
     {"hook", "LockObject", "--db", "DB", "--user", "carl", "--row", "Part(STATE=5 OR 1=1)"},
     "quendra hook: command line: the selector Part(STATE=5 OR 1=1) cannot be used: STATE is a 16-bit integer, and "
     "\"5 OR 1=1\" is not a number"},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandMistakes, testing::ValuesIn(Mistakes),
                         [](const auto& info) { return std::string(info.param.name); });

// The command run as another user, with what it wrote to standard error, which it keeps in `folder`.
test::Ran QuendraAs(const std::string& user, const std::vector<std::string>& arguments, const std::string& folder) {
    std::string line = "runuser -u " + user + " -- '" + std::string(QUENDRA_COMMAND) + "'";
    for (const auto& argument : arguments) line += " '" + argument + "'";
    int status = std::system((line + " >/dev/null 2>'" + folder + "/errors'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", test::FileBytes(folder + "/errors")};
}

// Another user reading the owner's database never keeps the files SQLite makes beside it, in a plain folder
// or a sticky one: it is refused, or, as the superuser, the files go to the owner; the owner writes afterwards.
TEST(CommandLine, AReaderLeavesTheDatabaseToItsOwner) {
    const struct passwd* daemon = getpwnam("daemon");
    const auto [uid, gid] = daemon ? std::pair(daemon->pw_uid, daemon->pw_gid) : std::pair<uid_t, gid_t>();
    if (geteuid() != 0 || !daemon || !getpwnam("nobody") || std::system("runuser --help >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "acting as other users needs root, runuser and the users daemon and nobody";
    playback::TempFolder folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0755));
    for (auto mode : {0777, 01777}) {
        auto shared = folder.Path() + "/mode" + std::to_string(mode);
        std::filesystem::create_directory(shared);
        std::filesystem::permissions(shared, std::filesystem::perms(mode));
        auto db = shared + "/own.db";
        auto answers = shared + "/none.json";
        ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
        ASSERT_EQ(chown(db.c_str(), uid, gid), 0);
        std::ofstream(answers) << "[]";
        const std::vector<std::string> alone{"none.json", "own.db"};

        auto read = QuendraAs("nobody", {"tree", db, "P-100000"}, folder.Path());
        EXPECT_EQ(read.status, 2) << mode;
        EXPECT_EQ(read.errors,
                  "quendra tree: " + db + ": the database file belongs to daemon, and reading it now " +
                      "would make the files kept beside it (" + db + "-wal, -shm) yours, so that daemon " +
                      "could no longer write it: read it while daemon has it open (quendra desktop keeps " +
                      "it open), or read a copy\n");
        EXPECT_EQ(FileNames(shared), alone) << mode;

        ASSERT_EQ(Quendra({"tree", db, "P-100000"}).status, 0);
        for (const char* side : {"-wal", "-shm"}) {
            struct stat info {};
            EXPECT_TRUE(stat((db + side).c_str(), &info) != 0 || info.st_uid == uid) << side;
        }
        auto locked = QuendraAs("daemon",
                                {"hook", "LockObject", "--db", db, "--user", "carl", "--row",
                                 "Part(CN_PART_NUMBER=P-100022)", "--answers", answers},
                                folder.Path());
        EXPECT_EQ(locked.status, 0) << locked.errors;
        EXPECT_EQ(FileNames(shared), alone) << mode;
    }
}

} // namespace
} // namespace quendra::host
