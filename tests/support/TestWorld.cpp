// SPDX-License-Identifier: Apache-2.0
#include "TestWorld.h"

namespace quendra::test {

// Without a description: the scripted user describes the answer as a scenario file writes it.
answering::Answer Press(const std::string& button) {
    return {answering::answers::Button{button}, ""};
}

answering::Answer KeyAnswer(const std::string& key) {
    return {answering::answers::Key{key}, ""};
}

answering::Answer CloseAnswer() {
    return {answering::answers::Close{}, ""};
}

answering::Answer SetRows(std::vector<std::pair<std::string, std::string>> rows, const std::string& button) {
    return {answering::answers::Set{std::move(rows), button}, ""};
}

answering::Answer Choose(std::optional<std::string> entry, const std::string& button) {
    return {answering::answers::Choose{std::move(entry), button}, ""};
}

answering::Answer Open(std::vector<std::string> paths) {
    return {answering::answers::Open{std::move(paths)}, ""};
}

answering::Answer Search(std::vector<ObjectKey> picks, answering::answers::Search::Mode mode) {
    return {answering::answers::Search{mode, std::move(picks)}, ""};
}

answering::Answer Fill(Values fill, const std::string& button) {
    return {answering::answers::Fill{std::move(fill), button}, ""};
}

answering::Answer Acts(std::vector<answering::Action> actions) {
    return {answering::answers::Actions{std::move(actions)}, ""};
}

std::string Line(const answering::WindowRecord& window) {
    namespace records = answering::records;
    if (const auto* box = std::get_if<records::MessageBox>(&window.what)) {
        constexpr const char* icons[] = {"information", "exclamation", "critical", "question"};
        return std::string(icons[static_cast<int>(box->icon)]) + "/" +
               (box->buttons == ui::Buttons::Ok ? "OK" : "YesNo") + ": " + box->text;
    }
    if (const auto* shown = std::get_if<records::Window>(&window.what))
        return "window " + shown->title + (shown->text.empty() ? "" : ": " + shown->text);
    if (const auto* open = std::get_if<records::OpenFile>(&window.what)) return "open " + open->filter;
    const auto& platform = std::get<records::Platform>(window.what);
    constexpr const char* dialogs[] = {"query", "results", "newObject"};
    return std::string("platform ") + dialogs[static_cast<int>(platform.dialog)] +
           (platform.className.empty() ? "" : " " + platform.className);
}

World::World(std::shared_ptr<const embedded::Model> model, const std::string& login)
    : db(embedded::Database::Create(":memory:", std::move(model))), session(db->Login(login, user)) {}

int32_t World::Id(const std::string& login) {
    return db->UserId(login).value();
}

namespace {
Values Merged(Values base, const Values& extra) {
    for (const auto& [name, value] : extra) {
        bool replaced = false;
        for (auto& entry : base)
            if (entry.first == name) entry.second = value, replaced = true;
        if (!replaced) base.emplace_back(name, value);
    }
    return base;
}
} // namespace

ObjectKey World::Part(const std::string& number, Values extra, const std::string& className) {
    return db->CreateObject(className, Merged({{"CN_PART_NUMBER", Value::Text(number)},
                                               {"CN_DESCRIPTION", Value::Text("Desc")},
                                               {"STATE", Value::Int16(5)}},
                                              extra));
}

ObjectKey World::Document(const std::string& number, Values extra) {
    return db->CreateObject("Document", Merged({{"CN_PART_NUMBER", Value::Text(number)},
                                                {"FILE_NAME", Value::Text("sheet.txt")},
                                                {"FILE_TYPE", Value::Int16(3)},
                                                {"STATE", Value::Int16(1)}},
                                               extra));
}

Values World::LockedBy(const std::string& login) {
    return {{"CN_LOCKED", Value::Bool(true)},
            {"USER_OBJECT_ID", Value::Int32(Id(login))},
            {"USER_ID_MOD", Value::Int32(Id(login))}};
}

ObjectKey World::TreeLink(ObjectKey parent, ObjectKey child, Values values) {
    return db->CreateLink("Parts Tree", parent, child, values);
}

std::string World::Text(ObjectKey key, const std::string& attribute) {
    return db->ReadValue(key, attribute).AsText();
}

Ptr<CvObject> World::Fetch(ObjectKey key) {
    auto object = session->ObjectStore()->ObjectById(key.classId, key.objectId)->WorkingObject();
    object->Retrieve();
    return object;
}

Ptr<CvRecList> World::Rows(const std::vector<ObjectKey>& objects) {
    std::vector<embedded::HookRow> rows;
    for (const auto& key : objects) {
        embedded::HookRow row;
        row.key = key;
        rows.push_back(row);
    }
    return db->MakeRecList(rows);
}

Ptr<CvRecList> World::LinkRow(ObjectKey link) {
    embedded::HookRow row;
    row.kind = embedded::HookRow::Kind::Link;
    row.key = link;
    return db->MakeRecList({row});
}

int16_t World::Call(const std::string& hook, playback::HookArguments& arguments) {
    Application application(user);
    return playback::HookCatalog::Call(application, hook, session, arguments);
}

int16_t World::Call(const std::string& hook, Ptr<CvRecList> rows, const std::string& linkAttributes) {
    playback::HookArguments arguments{std::move(rows), {{"LinkAttributes", linkAttributes}}, {}};
    return Call(hook, arguments);
}

void World::Answers(std::vector<answering::Answer> answers) {
    user.SetAnswers(std::move(answers));
    db->Harness().ClearEvents();
}

Texts World::Shown() const {
    Texts lines;
    for (const auto& window : user.Windows()) lines.push_back(Line(window));
    return lines;
}

void World::ExpectAllAnswered() const {
    EXPECT_EQ(user.Failure(), std::nullopt);
    EXPECT_EQ(user.AnswersLeft(), 0u);
}

std::vector<ObjectKey> World::Updated() const {
    std::vector<ObjectKey> keys;
    for (const auto& event : db->Harness().Events())
        if (auto* update = std::get_if<embedded::events::Update>(&event)) keys.push_back(update->object);
    return keys;
}

} // namespace quendra::test
