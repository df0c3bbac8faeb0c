// A host of the component in a few lines: an embedded database from the built-in plant model,
// a scripted user logged in, and one hook called through Application.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "Database.h"
#include "ScriptedUser.h"

#include <iostream>

int main() {
    using namespace quendra;
    auto db = embedded::Database::Create(":memory:", embedded::BuiltInModel("plant"));
    int32_t dora = *db->UserId("dora");
    auto washer = db->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-1")},
                                            {"CN_DESCRIPTION", Value::Text("Washer")},
                                            {"STATE", Value::Int16(5)},
                                            {"CN_LOCKED", Value::Bool(true)},
                                            {"USER_OBJECT_ID", Value::Int32(dora)}});

    // Carl wants to change the washer Dora holds: the hook tells him so and refuses.
    scripted::ScriptedUser carl;
    carl.SetAnswers({{answering::answers::Button{"OK"}, "button OK"}});
    auto session = db->Login("carl", carl);

    embedded::HookRow row;
    row.key = washer;
    auto rows = db->MakeRecList({row});
    Application app(carl);
    int16_t result = app.IsLockedForUpdate(session, rows);

    std::cout << "IsLockedForUpdate answered " << result << '\n';
    const char* icons[] = {"information", "exclamation", "critical", "question"};
    for (const auto& window : carl.Windows()) {
        const auto& box = std::get<answering::records::MessageBox>(window.what);
        std::cout << icons[static_cast<int>(box.icon)] << " message box \"" << box.title << "\": " << box.text << '\n';
    }
    return result == 1 && !carl.Failure() ? 0 : 1;
}
