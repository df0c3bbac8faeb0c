// The same hook calls on a database file and on the database server give the same transcript (each window with
// its answer, each event in order, each result or failure that reached the host) and leave the same rows.
//
// A seed chooses a scenario: the locks and states of a small parts tree with documents, then calls of any hook
// by carl, dora and admin, each keeping one session across his calls, with answers that fit the windows or not,
// platform calls that fail on purpose and steps that may not write. Both storages play it as `quendra play`
// does, from the same scenario text.
//
// CI plays seeds 1 to 200. By hand: QUENDRA_DIFFERENTIAL_SEEDS=N plays seeds 1 to N, and
// QUENDRA_DIFFERENTIAL_FIRST=S starts at seed S instead, e.g.
//   QUENDRA_DIFFERENTIAL_SEEDS=5000 ctest --test-dir build/debug -R Differential --timeout 3600
// (docs/server.md says the same). A mismatch names the seed and the first line that differs on each storage, and
// writes the scenario as differential-SEED.json and what each storage gave as differential-SEED.file.txt and
// differential-SEED.server.txt in the working folder (build/debug/tests/server). `quendra play` and
// `quendra play --database` replay the scenario up to its first step whose row names nothing any more (a link
// deleted before), which the test notes as refused and goes on.
// SPDX-License-Identifier: Apache-2.0
#include "Processes.h"
#include "ServerRoles.h"

#include "FileError.h"
#include "ScenarioParser.h"
#include "StepRunner.h"
#include "Transcript.h"
#include "World.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace quendra::test {
namespace {

// Writes one seed's scenario.
class ScenarioWriter {
public:
    explicit ScenarioWriter(uint32_t seed) : random_(seed) {}

    Json Scenario() {
        Json objects = Json::array();
        for (const auto& [ref, cls, number] : kObjects) {
            Json values = {{"CN_PART_NUMBER", number}, {"CN_DESCRIPTION", ref}, {"STATE", Pick({0, 1, 5, 5, 6})}};
            if (Chance(0.7)) {
                values["CN_LOCKED"] = true;
                values["USER_OBJECT_ID"] = {{"user", Someone()}};
                values["USER_ID_MOD"] = {{"user", Someone()}};
            }
            if (cls == "Document" || cls == "Drawing") {
                values["FILE_TYPE"] = Pick({3, 12, 99});
                values["FILE_NAME"] = ref + ".dwg";
            }
            objects.push_back({{"ref", ref}, {"class", cls}, {"values", values}});
        }
        Json links = Json::array();
        for (const auto& [ref, parent, child] : kLinks)
            links.push_back({{"ref", ref},
                             {"class", "Parts Tree"},
                             {"parent", parent},
                             {"child", child},
                             {"values", {{"CN_QUANTITY", Pick({1, 2, 5})}, {"CN_POSITION", Pick({10, 20})}}}});
        links.push_back({{"class", "Specification dependency Link"}, {"parent", "P1"}, {"child", "D1"}});
        Json steps = Json::array();
        for (int i = Pick({4, 6, 8, 10}); i > 0; --i) steps.push_back(Step());
        return {{"description", "random hook calls"},
                {"model", "plant"},
                {"sessions", "per user"},
                {"files", {{"in/a.dwg", "drawing"}, {"in/b.txt", "notes"}}},
                {"objects", objects},
                {"links", links},
                {"steps", steps}};
    }

private:
    struct Object {
        std::string ref, cls, number;
    };
    struct Link {
        std::string ref, parent, child;
    };
    static inline const std::vector<Object> kObjects = {
        {"A1", "Assembly", "A-1"}, {"A2", "Assembly", "A-2"}, {"P1", "Part", "P-1"},     {"P2", "Part", "P-2"},
        {"P3", "Part", "P-3"},     {"P4", "Part", "P-4"},     {"D1", "Document", "P-2"}, {"D2", "Drawing", "P-9"}};
    static inline const std::vector<Link> kLinks = {
        {"L1", "A1", "P1"}, {"L2", "A1", "P2"}, {"L3", "A2", "P3"}, {"L4", "P1", "P4"}, {"L5", "A2", "A1"}};
    static inline const std::vector<std::string> kUsers = {"admin", "carl", "dora"};
    static inline const std::vector<std::string> kParts = {"A1", "A2", "P1", "P2", "P3", "P4"};
    static inline const std::vector<std::string> kDocuments = {"D1", "D2"};
    static inline const std::vector<std::string> kFaults = {
        "CvObject.Update",        "CvObject.Insert",          "CvObject.Delete",
        "CvObject.Retrieve",      "CvObjectStore.ObjectById", "CvObjectStore.ObjectsFromRecList",
        "CvObject.LinkToParent",  "CvObject.RemoveLink",      "CvQueryDef.Run",
        "CvObject.TreeLinks",     "CvRecord.SetValue",        "CvSequence.NextValue",
        "CvNewObjectDialog.Show", "CvRecList.RecordAt",       "CvGUINotifier.NotifyObjects"};

    template <typename T> T Pick(const std::vector<T>& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random_)];
    }
    int Pick(std::initializer_list<int> from) { return Pick(std::vector<int>(from)); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    // Mostly carl, so that most calls meet his own locks and get past the checks.
    std::string Someone() { return Chance(0.6) ? "carl" : Pick(kUsers); }
    Json Some(const std::vector<std::string>& from) {
        Json some = Json::array();
        for (int i = Pick({1, 1, 2, 3}); i > 0; --i) some.push_back(Pick(from));
        return some;
    }
    std::string AnyLink() { return Pick(std::vector<std::string>{"L1", "L2", "L3", "L4", "L5"}); }
    Json LinkRow() {
        if (Chance(0.5)) return AnyLink();
        return {{"class", "Parts Tree"}, {"parent", Pick(kParts)}, {"child", Pick(kParts)}};
    }
    Json LinkValues() { return {{"set", {{"Quantity", std::to_string(Pick({0, 3, 7}))}}}, {"button", "OK"}}; }
    Json NewPart() {
        return Chance(0.8) ? Json{{"fill", {{"CN_DESCRIPTION", "New"}}}, {"button", "OK"}} : Json{{"button", "Cancel"}};
    }
    Json AnyAnswer() {
        switch (Pick({0, 1, 2, 3, 4, 5, 6})) {
        case 0:
            return {{"button", Pick(std::vector<std::string>{"OK", "Yes", "No", "Cancel"})}};
        case 1:
            return {{"search", Some(kParts)}};
        case 2:
            return {{"search", "cancel"}};
        case 3:
            return LinkValues();
        case 4:
            return NewPart();
        case 5:
            return {{"close", true}};
        default:
            return {{"choose", "Drawing"}, {"button", "OK"}};
        }
    }

    Json Step() {
        Json step = {{"user", Someone()}};
        Json answers = Json::array();
        const std::string linkAttributes = Chance(0.5) ? "CN_QUANTITY,CN_POSITION" : "";
        // The hooks that check or change the objects of their rows and may say why in a message box.
        static const std::vector<std::pair<std::string, const std::vector<std::string>*>> checks = {
            {"LockObject", &kParts},
            {"UnLockObject", &kParts},
            {"IsLockedForUpdate", &kParts},
            {"BeforeUpdate", &kParts},
            {"BeforeNewReleaseObj", &kParts},
            {"BeforeNewReleaseObj", &kDocuments},
            {"AfterCheckInDocuments", &kDocuments},
            {"BeforeDeleteDocuments", &kDocuments},
            {"BeforeCheckOutReleaseDocs", &kDocuments}};
        const int kind = Pick({0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        if (kind == 0) {
            const auto& [hook, from] = Pick(checks);
            step["hook"] = hook;
            step["rows"] = Some(*from);
            if (hook == "BeforeCheckOutReleaseDocs") step["SelectOp"] = Chance(0.5) ? "CheckOut" : "Release";
            answers.push_back({{"button", Chance(0.7) ? "OK" : "Yes"}});
        } else if (kind <= 3) { // a part made or found, linked below the row's part with the link's values
            step["hook"] = std::vector<std::string>{"AddExistingPart", "AddNewPart", "AddMainPart"}[kind - 1];
            step["rows"] = Json::array({Pick(kParts)});
            if (kind < 3) step["LinkAttributes"] = linkAttributes;
            answers.push_back(kind == 1 ? Json{{"search", Some(kParts)}} : NewPart());
            if (kind < 3) answers.push_back(LinkValues());
        } else if (kind <= 7) { // a stored link deleted, edited or given another child
            step["hook"] =
                std::vector<std::string>{"DeleteLink", "LinkUpdate", "ReplacePart", "ReplacePartByNewPart"}[kind - 4];
            step["rows"] = Json::array({LinkRow()});
            if (kind > 4) step["LinkAttributes"] = kind == 5 ? "CN_QUANTITY,CN_POSITION" : linkAttributes;
            if (kind == 7) step["MyNewPart"] = nullptr;
            answers.push_back(std::vector<Json>{
                {{"button", "OK"}}, LinkValues(), {{"search", Json::array({Pick(kParts)})}}, NewPart()}[kind - 4]);
        } else if (kind == 8) {
            step["hook"] = "CopyTreeFrom";
            step["Obj"] = Pick(kParts);
            step["FromObj"] = Pick(kParts);
            step["LinkAttributes"] = linkAttributes;
        } else if (kind == 9) {
            step["hook"] = "BeforeAddPartsTreeLink";
            step["rows"] = Json::array({{{"class", "Parts Tree"}, {"parent", Pick(kParts)}, {"child", Pick(kParts)}}});
            answers.push_back({{"button", "OK"}});
        } else {
            step["hook"] = "UploadDocument";
            step["rows"] = Json::array({Pick(kParts)});
            step["Extensions"] = Chance(0.5) ? "dwg" : "";
            step["FileTypes"] = Chance(0.5) ? "Drawing" : "";
            answers = Json::array({{{"open", Chance(0.7) ? Json::array({"in/a.dwg", "in/b.txt"}) : Json::array()}},
                                   {{"choose", "Drawing"}, {"button", "OK"}}});
        }
        // Answers that do not fit: one missing, one too many, one of another kind.
        if (Chance(0.15) && !answers.empty()) answers.erase(answers.size() - 1);
        if (Chance(0.1)) answers.push_back(AnyAnswer());
        if (Chance(0.1) && !answers.empty()) answers[0] = AnyAnswer();
        if (!answers.empty()) step["answers"] = answers;
        if (Chance(0.35)) {
            Json faults = Json::array();
            for (int i = Pick({1, 1, 2}); i > 0; --i)
                faults.push_back({{"call", Pick(kFaults)}, {"nth", Pick({1, 1, 2, 3})}});
            step["faults"] = faults;
        }
        if (Chance(0.08)) step["readOnly"] = true;
        return step;
    }

    std::mt19937 random_;
};

// The seeds to play: from QUENDRA_DIFFERENTIAL_FIRST (1) on, QUENDRA_DIFFERENTIAL_SEEDS of them (200).
uint32_t Setting(const char* name, uint32_t otherwise) {
    const char* given = std::getenv(name);
    return given && *given ? static_cast<uint32_t>(std::strtoul(given, nullptr, 10)) : otherwise;
}

// Plays the scenario on a new database at the address: the transcript, then every stored row.
std::vector<std::string> Play(const playback::Scenario& scenario, const std::string& address) {
    auto database = embedded::Database::Create(address, embedded::BuiltInModel("plant"));
    scripted::ScriptedUser user;
    playback::World world(*database, user, scenario.file);
    world.SetDefaultUser("admin");
    world.Build(scenario);
    std::ostringstream out, errors;
    playback::Transcript transcript(out, errors, false);
    {
        playback::StepRunner runner(world, user, user, &user);
        runner.KeepSessions(true);
        for (size_t i = 0; i < scenario.steps.size(); ++i) {
            const auto& step = scenario.steps[i];
            transcript.Step(i + 1, step, *step.user);
            try {
                auto outcome = runner.Run(step, *step.user);
                transcript.Outcome(i + 1, outcome, world);
                if (outcome.scriptedFailure) out << "   the answers did not fit: " << *outcome.scriptedFailure << '\n';
                for (const auto& left : outcome.answersLeft) out << "   answer left: " << left << '\n';
                for (const auto& fault : outcome.unfiredFaults) out << "   fault not fired: " << fault << '\n';
            } catch (const std::exception& error) { // a ref naming nothing, a link deleted before
                out << "   refused: " << error.what() << '\n';
            }
        }
    }
    auto session = database->Login("admin", user);
    for (const std::string cls :
         {"Part", "Assembly", "Document", "Drawing", "Parts Tree", "Specification dependency Link", "Users"}) {
        auto keys = database->FindObjects(cls, "CLASS_ID", std::to_string(database->ClassId(cls)));
        std::sort(keys.begin(), keys.end(), [](auto a, auto b) { return a.objectId < b.objectId; });
        auto definitions = session->MetaInfo()->ClassByName(cls)->AttributeDefs();
        for (const auto& key : keys) {
            out << "row " << world.Name(key);
            for (int32_t i = 0; i < definitions->Count(); ++i) {
                const auto name = definitions->Item(i)->Name();
                out << ' ' << name << '=' << database->ReadValue(key, name).AsText();
            }
            out << '\n';
        }
    }
    // The files' folder is a fresh one on each play.
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        for (auto at = line.find(world.FilesFolder()); at != std::string::npos; at = line.find(world.FilesFolder()))
            line.replace(at, world.FilesFolder().size(), "FILES");
        lines.push_back(line);
    }
    return lines;
}

TEST(DifferentialTest, RandomHookCallsGiveTheSameOnAFileAndOnTheServer) {
    if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
    const uint32_t first = Setting("QUENDRA_DIFFERENTIAL_FIRST", 1);
    const uint32_t count = Setting("QUENDRA_DIFFERENTIAL_SEEDS", 200);
    int mismatches = 0;
    for (uint32_t seed = first; seed < first + count && mismatches < 5; ++seed) {
        const std::string name = "differential-" + std::to_string(seed) + ".json";
        const std::string text = ScenarioWriter(seed).Scenario().dump(2);
        auto scenario = playback::ScenarioParser::ParseText(text, name);
        playback::TempFolder folder;
        auto onFile = Play(scenario, File(folder, "plant.db"));
        embedded::ServerSchema schema(TestServer, "differential_" + std::to_string(getpid()));
        auto onServer = Play(scenario, schema.Address());
        if (onFile == onServer) continue;
        ++mismatches;
        size_t line = 0;
        while (line < onFile.size() && line < onServer.size() && onFile[line] == onServer[line]) ++line;
        std::ofstream(name) << text;
        for (const auto& [storage, lines] : {std::pair{"file", &onFile}, std::pair{"server", &onServer}}) {
            std::ofstream transcript("differential-" + std::to_string(seed) + "." + storage + ".txt");
            for (const auto& played : *lines) transcript << played << '\n';
        }
        ADD_FAILURE() << "seed " << seed << " (" << name << "), line " << line + 1
                      << ":\n  file:   " << (line < onFile.size() ? onFile[line] : "(no more lines)")
                      << "\n  server: " << (line < onServer.size() ? onServer[line] : "(no more lines)");
    }
}

} // namespace
} // namespace quendra::test
