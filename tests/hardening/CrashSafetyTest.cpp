// A process killed in the middle of an unlock walk leaves a sound database: every part fully unlocked or untouched.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "Names.h"
#include "Processes.h"
#include "TestWorld.h"

#include <signal.h>

#include <chrono>
#include <map>
#include <thread>

namespace quendra::test {
namespace {

constexpr int PartCount = 2000;

TEST(CrashSafetyTest, KilledUnlockWalkLeavesEveryPartWholeAndTheDatabaseUsable) {
    playback::TempFolder folder;
    const std::string path = File(folder, "plant.db");
    std::vector<std::pair<int, int>> links; // positions in parts: parent, child
    PlantFile file(path);
    const int32_t carl = file.carl;
    const int32_t dora = file.dora;
    // Locked by carl, last changed by dora: an unlock by carl rewrites both flag and modifier.
    const auto parts = file.Parts("W-", PartCount,
                                  {{names::CN_LOCKED, Value::Bool(true)},
                                   {names::USER_OBJECT_ID, Value::Int32(carl)},
                                   {names::USER_ID_MOD, Value::Int32(dora)}});
    for (int i = 1; i < PartCount; ++i) {
        links.emplace_back((i - 1) / 10, i);
        file.db->CreateLink(names::LinkClassPartsTree, parts[(i - 1) / 10], parts[i], {});
    }
    file.db.reset(); // the child opens the file itself

    pid_t child = RunInChild(File(folder, "walk.report"), [&] {
        scripted::ScriptedUser user;
        user.SetAnswers({Press("Yes")});
        auto db = embedded::Database::Open(path);
        auto session = db->Login("carl", user);
        embedded::HookRow row;
        row.key = parts[0];
        auto rows = db->MakeRecList({row});
        Application(user).UnLockObject(session, rows);
        return std::vector<std::string>{};
    });

    // Kill the walk once it has unlocked a few parts, long before it can finish.
    {
        RawDatabase watch(path);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::stoi(watch.Column("SELECT COUNT(*) FROM PARTS WHERE CN_LOCKED = 0")[0]) >= 20) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the walk ended before it could be killed";

    EXPECT_EQ(RawDatabase(path).Column("PRAGMA integrity_check"), std::vector<std::string>{"ok"});

    auto db = embedded::Database::Open(path);
    std::map<int, bool> unlocked;
    for (int i = 0; i < PartCount; ++i) {
        const bool locked = db->ReadValue(parts[i], names::CN_LOCKED).AsBool();
        const int32_t modifier = db->ReadValue(parts[i], names::USER_ID_MOD).AsInt32();
        EXPECT_EQ(db->ReadValue(parts[i], names::USER_OBJECT_ID).AsInt32(), carl) << "part " << i;
        EXPECT_EQ(modifier, locked ? dora : carl) << "part " << i << " is half written";
        unlocked[i] = !locked;
    }
    const auto done = std::count_if(unlocked.begin(), unlocked.end(), [](const auto& entry) { return entry.second; });
    EXPECT_GT(done, 0);
    EXPECT_LT(done, PartCount);
    // Children are unlocked before their parent: an unlocked parent has only unlocked children.
    for (const auto& [parent, child] : links) {
        if (!unlocked[parent]) continue;
        EXPECT_TRUE(unlocked[child]) << "part " << parent << " before its child " << child;
    }

    // The reopened database takes the same walk to its end.
    scripted::ScriptedUser user;
    user.SetAnswers({Press("Yes")});
    auto session = db->Login("carl", user);
    embedded::HookRow row;
    row.key = parts[0];
    auto rows = db->MakeRecList({row});
    Application(user).UnLockObject(session, rows);
    EXPECT_FALSE(user.Failure().has_value());
    for (int i = 0; i < PartCount; ++i) EXPECT_FALSE(db->ReadValue(parts[i], names::CN_LOCKED).AsBool()) << i;
}

} // namespace
} // namespace quendra::test
