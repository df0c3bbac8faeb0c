// World: building a scenario's data on the embedded platform and reading refs and values.
// SPDX-License-Identifier: Apache-2.0
#include "World.h"

#include "AttributeType.h"
#include "CommandError.h"
#include "FileError.h"
#include "FilePath.h"
#include "Selector.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <stdexcept>

namespace quendra::playback {

namespace {

const char* TypeName(AttributeType type) {
    switch (type) {
    case AttributeType::Text:
        return "a text";
    case AttributeType::Int16:
        return "a 16-bit integer";
    case AttributeType::Int32:
        return "a 32-bit integer";
    case AttributeType::Double:
        return "a number";
    case AttributeType::Bool:
        return "a Boolean";
    default:
        return "a value kept as text";
    }
}

} // namespace

World::World(embedded::Database& database, embedded::PlatformDialogs& dialogs, std::string file)
    : database_(database), dialogs_(dialogs), file_(std::move(file)) {}

void World::Fail(const std::string& path, const std::string& message) const {
    throw FileError(file_, path, message);
}

void World::Build(const Scenario& scenario) {
    folder_ = std::make_unique<TempFolder>();
    for (const auto& [relative, content] : scenario.files) {
        try {
            folder_->Write(relative, content);
        } catch (const std::filesystem::filesystem_error& error) {
            // The machine may refuse any file; else the names are at fault, such as "a" given as a file
            // and as the folder of "a/b", or a name too long for the system.
            auto code = error.code();
            if (code == std::errc::permission_denied || code == std::errc::no_space_on_device ||
                code == std::errc::read_only_file_system || code == std::errc::too_many_files_open)
                throw EnvironmentError("the file " + relative + " cannot be made in " + folder_->Path() + ": " +
                                       code.message());
            Fail((Json::json_pointer() / "files" / relative).to_string(),
                 "the file cannot be made: " + error.code().message());
        } catch (const EnvironmentError&) {
            throw;
        } catch (const std::runtime_error&) {
            Fail((Json::json_pointer() / "files" / relative).to_string(), "the file cannot be written");
        }
    }

    for (const auto& user : scenario.users) {
        if (database_.UserId(user.login)) Fail(user.path + "/login", "the user \"" + user.login + "\" exists already");
        // Users come before any session exists, so their values are read by their JSON kind.
        std::vector<std::pair<std::string, Value>> values;
        for (const auto& [name, value] : user.values) values.emplace_back(name, ConvertByKind(value));
        int32_t id = 0;
        try {
            id = database_.AddUser(user.login, user.admin, values);
        } catch (const std::exception& error) {
            Fail(user.path, std::string("the user cannot be made: ") + error.what());
        }
        names_[{database_.ClassId("Users"), id}] = user.login;
    }
    if (!scenario.users.empty()) defaultUser_ = scenario.users.front().login;

    for (const auto& object : scenario.objects) {
        RequireClass(object.className, object.path + "/class");
        if (IsLinkClass(object.className))
            Fail(object.path + "/class", "\"" + object.className + "\" is a link class: give it under \"links\"");
        auto values = ConvertAll(object.className, object.values);
        embedded::ObjectKey key;
        try {
            key = database_.CreateObject(object.className, values);
        } catch (const std::exception& error) {
            Fail(object.path, std::string("the object cannot be made: ") + error.what());
        }
        if (!object.ref.empty()) {
            named_[object.ref] = Target{key, false};
            names_[{key.classId, key.objectId}] = object.ref;
        }
    }
    for (const auto& link : scenario.links) {
        RequireClass(link.className, link.path + "/class");
        if (!IsLinkClass(link.className)) Fail(link.path + "/class", "\"" + link.className + "\" is no link class");
        auto parent = Resolve(link.parent, link.path + "/parent");
        auto child = Resolve(link.child, link.path + "/child");
        if (parent.isLink) Fail(link.path + "/parent", "\"" + link.parent + "\" is a link, not an object");
        if (child.isLink) Fail(link.path + "/child", "\"" + link.child + "\" is a link, not an object");
        auto values = ConvertAll(link.className, link.values);
        embedded::ObjectKey key;
        try {
            key = database_.CreateLink(link.className, parent.key, child.key, values);
        } catch (const std::exception& error) {
            Fail(link.path, std::string("the link cannot be made: ") + error.what());
        }
        if (!link.ref.empty()) {
            named_[link.ref] = Target{key, true};
            names_[{key.classId, key.objectId}] = link.ref;
        }
    }
}

Ptr<CvSession> World::MetaSession() const {
    if (!metaSession_) {
        if (defaultUser_.empty()) Fail("/users", "no user to log in with: give one under \"users\"");
        metaSession_ = database_.Login(defaultUser_, dialogs_);
    }
    return metaSession_;
}

Ptr<CvClass> World::FindClass(const std::string& className) const {
    try {
        return MetaSession()->MetaInfo()->ClassByName(className);
    } catch (const CvError&) {
        return nullptr;
    }
}

void World::RequireClass(const std::string& className, const std::string& path) const {
    if (!FindClass(className)) Fail(path, "the model has no class \"" + className + "\"");
}

bool World::IsLinkClass(const std::string& className) const {
    auto cached = linkClasses_.find(className);
    if (cached != linkClasses_.end()) return cached->second;
    bool isLink = false;
    try {
        auto cls = MetaSession()->MetaInfo()->ClassByName(className);
        isLink = cls && cls->HasAttribute("PAR_OBJECT_ID") && cls->HasAttribute("SON_OBJECT_ID");
    } catch (const CvError&) {
        isLink = false;
    }
    linkClasses_[className] = isLink;
    return isLink;
}

int32_t World::TypeCode(const std::string& className, const std::string& attribute, const std::string& path) const {
    auto cached = typeCodes_.find({className, attribute});
    if (cached != typeCodes_.end()) return cached->second;
    auto cls = FindClass(className);
    if (!cls) Fail(path, "the model has no class \"" + className + "\"");
    Ptr<CvAttributeDef> definition;
    try {
        definition = cls->AttributeDefs()->DefinitionByName(attribute);
    } catch (const CvError&) {
        definition = nullptr;
    }
    if (!definition) Fail(path, "the class \"" + className + "\" has no attribute \"" + attribute + "\"");
    int32_t code = definition->TypeCode();
    typeCodes_[{className, attribute}] = code;
    return code;
}

Value World::ConvertByKind(const WrittenValue& value) const {
    const Json& json = value.json;
    if (json.is_null()) return Value();
    if (json.is_boolean()) return Value::Bool(json.get<bool>());
    if (json.is_string()) return Value::Text(json.get<std::string>());
    if (json.is_number_float()) return Value::Double(json.get<double>());
    if (json.is_number_integer()) {
        auto number = json.get<int64_t>();
        if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
            Fail(value.path, "the number " + JsonText(json) + " is out of range");
        return Value::Int32(static_cast<int32_t>(number));
    }
    if (json.contains("user")) {
        auto login = json["user"].get<std::string>();
        auto id = database_.UserId(login);
        if (!id) Fail(value.path + "/user", "there is no user \"" + login + "\"");
        return Value::Int32(*id);
    }
    if (json.contains("id"))
        return Value::Int32(Resolve(json["id"].get<std::string>(), value.path + "/id").key.objectId);
    if (json.contains("file")) {
        auto full = PathFromText(FilesFolder()) / PathFromText(json["file"].get<std::string>());
        return Value::Text(TextFromPath(full.lexically_normal()));
    }
    Fail(value.path, "not a value");
}

Value World::Convert(const std::string& className, const std::string& attribute, const WrittenValue& value) const {
    const auto code = static_cast<AttributeType>(TypeCode(className, attribute, value.path));
    const Json& json = value.json;
    if (json.is_null()) return Value();
    auto wrong = [&]() {
        Fail(value.path, JsonText(json) + " is the wrong type for " + attribute + " of " + className + ", which is " +
                             TypeName(code));
    };
    // A whole number (also 1e3) within the attribute's range; exact, as the range is far inside a double's.
    auto whole = [&](double low, double high) {
        auto number = WholeNumber(json);
        if (!number) wrong();
        if (*number < low || *number > high)
            Fail(value.path, JsonText(json) + " is out of range for " + attribute + " of " + className + ", which is " +
                                 TypeName(code));
        return *number;
    };
    if (json.is_object()) {
        auto converted = ConvertByKind(value);
        if (converted.GetKind() == Value::Kind::Text) {
            if (code == AttributeType::Int16 || code == AttributeType::Int32 || code == AttributeType::Double ||
                code == AttributeType::Bool)
                wrong();
            return converted;
        }
        if (code == AttributeType::Text || code == AttributeType::Bool || code == AttributeType::Double) wrong();
        if (code == AttributeType::Int16) {
            int32_t id = converted.AsInt32();
            if (id < std::numeric_limits<int16_t>::min() || id > std::numeric_limits<int16_t>::max()) wrong();
            return Value::Int16(static_cast<int16_t>(id));
        }
        return converted;
    }
    switch (code) {
    case AttributeType::Text:
        if (!json.is_string()) wrong();
        return Value::Text(json.get<std::string>());
    case AttributeType::Int16:
        return Value::Int16(
            static_cast<int16_t>(whole(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max())));
    case AttributeType::Int32:
        return Value::Int32(
            static_cast<int32_t>(whole(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
    case AttributeType::Double:
        if (!json.is_number()) wrong();
        return Value::Double(json.get<double>());
    case AttributeType::Bool:
        if (!json.is_boolean()) wrong();
        return Value::Bool(json.get<bool>());
    default:
        if (json.is_string()) return Value::Text(json.get<std::string>());
        if (json.is_number()) return Value::Text(JsonText(json));
        wrong();
    }
    return Value();
}

std::vector<std::pair<std::string, Value>> World::ConvertAll(const std::string& className,
                                                             const ValueMap& values) const {
    std::vector<std::pair<std::string, Value>> converted;
    for (const auto& [name, value] : values) converted.emplace_back(name, Convert(className, name, value));
    return converted;
}

std::optional<World::Target> World::TryResolve(const std::string& ref, std::string& why) const {
    auto named = named_.find(ref);
    if (named != named_.end()) return named->second;
    auto selector = Selector::Parse(ref);
    if (!selector) {
        why = "the ref \"" + ref + "\" names nothing";
        return std::nullopt;
    }
    bool link = IsLinkClass(selector->className);
    std::vector<embedded::ObjectKey> found;
    try {
        if (!link) CheckNumberText(selector->className, selector->attribute, selector->attribute, selector->text);
        // Listing the candidates and reading each is one read: another user's change meanwhile cannot fail it.
        database_.ReadTogether([&] {
            found = link ? FindLinks(*selector)
                         : database_.FindObjects(selector->className, selector->attribute, selector->text);
        });
    } catch (const std::exception& error) {
        why = "the selector " + ref + " cannot be used: " + error.what();
        return std::nullopt;
    }
    if (found.size() != 1) {
        why = "the selector " + ref +
              (found.empty() ? " matches nothing"
                             : " matches " + std::to_string(found.size()) + (link ? " links" : " objects"));
        if (link && found.size() > 1) why += "; tell them apart by parent, child, a link value or the link's id";
        return std::nullopt;
    }
    return Target{found.front(), IsLinkClass(database_.ClassName(found.front().classId))};
}

bool World::EndMatches(embedded::ObjectKey end, const std::string& text) const {
    // A ref or selector names the end itself; else the text is the end's first display value (its number).
    if (named_.contains(text) || Selector::Parse(text)) {
        std::string ignored;
        auto target = TryResolve(text, ignored);
        return target && target->key.classId == end.classId && target->key.objectId == end.objectId;
    }
    const char separator[] = "\x1f";
    auto display = database_.DisplayText(end, separator);
    return display.substr(0, display.find(separator)) == text;
}

void World::CheckNumberText(const std::string& className, const std::string& attribute, const std::string& name,
                            const std::string& text) const {
    auto cls = FindClass(className);
    Ptr<CvAttributeDef> definition;
    try {
        definition = cls ? cls->AttributeDefs()->DefinitionByName(attribute) : nullptr;
    } catch (const CvError&) {
        return; // an unknown attribute is the search's to report
    }
    if (!definition) return;
    auto type = static_cast<AttributeType>(definition->TypeCode());
    bool whole = type == AttributeType::Int16 || type == AttributeType::Int32;
    if (!whole && type != AttributeType::Double) return;
    size_t digits = text.starts_with('-') ? 1 : 0;
    bool number = digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos;
    if (!whole) {
        char* end = nullptr;
        std::strtod(text.c_str(), &end);
        number = !text.empty() && *end == '\0' && !std::isspace(static_cast<unsigned char>(text.front()));
    }
    if (!number) throw std::invalid_argument(name + " is " + TypeName(type) + ", and \"" + text + "\" is not a number");
}

std::vector<embedded::ObjectKey> World::FindLinks(const Selector& selector) const {
    // Conditions are NAME=text joined by commas; a comma not followed by NAME= belongs to the text before it.
    std::vector<std::pair<std::string, std::string>> conditions;
    std::string inside = selector.attribute + "=" + selector.text;
    size_t start = 0;
    while (start <= inside.size()) {
        size_t comma = inside.find(',', start);
        std::string piece = inside.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t equals = piece.find('=');
        size_t first = piece.find_first_not_of(' ');
        bool named = equals != std::string::npos && first < equals && piece.find_first_of(" ()", first) > equals;
        if (named || conditions.empty())
            conditions.emplace_back(piece.substr(first == std::string::npos ? 0 : first, equals - first),
                                    equals == std::string::npos ? "" : piece.substr(equals + 1));
        else
            conditions.back().second += "," + piece;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    auto definitions = MetaSession()->MetaInfo()->ClassByName(selector.className)->AttributeDefs();
    auto attribute = [&](const std::string& name) -> std::string {
        if (name == "id") return "OBJECT_ID";
        for (int32_t i = 0; i < definitions->Count(); ++i) {
            auto definition = definitions->Item(i);
            if (definition->Name() == name || definition->DisplayName() == name) return definition->Name();
        }
        throw std::invalid_argument("a link of \"" + selector.className + "\" has no \"" + name +
                                    "\" (give parent=, child=, id= or a link attribute)");
    };
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::pair<bool, std::string>> ends; // parent?, text
    for (const auto& [name, text] : conditions) {
        if (name == "parent" || name == "child") {
            ends.emplace_back(name == "parent", text);
            continue;
        }
        values.emplace_back(attribute(name), text);
        CheckNumberText(selector.className, values.back().first, name, text);
    }
    // The candidates: those one condition finds in the database (a value, or an end given as a ref),
    // else every link of the class; each candidate is then held against every condition.
    std::vector<embedded::ObjectKey> links;
    if (!values.empty()) {
        links = database_.FindObjects(selector.className, values.front().first, values.front().second);
    } else {
        std::string ignored;
        std::optional<Target> end;
        bool parent = false;
        for (const auto& [isParent, text] : ends)
            if (!end && (named_.contains(text) || Selector::Parse(text)) && (end = TryResolve(text, ignored)))
                parent = isParent;
        if (end)
            links = database_.FindObjects(selector.className, parent ? "OBJECT_ID1" : "OBJECT_ID2",
                                          std::to_string(end->key.objectId));
        else
            links = database_.FindObjects(selector.className, "CLASS_ID",
                                          std::to_string(database_.ClassId(selector.className)));
    }
    std::vector<embedded::ObjectKey> found;
    for (const auto& link : links) {
        bool matches = true;
        for (const auto& [name, text] : values)
            if (matches && database_.ReadValue(link, name).AsText() != text) matches = false;
        for (const auto& [parent, text] : ends) {
            if (!matches) break;
            embedded::ObjectKey end{
                static_cast<int16_t>(database_.ReadValue(link, parent ? "CLASS_ID1" : "CLASS_ID2").AsInt32()),
                database_.ReadValue(link, parent ? "OBJECT_ID1" : "OBJECT_ID2").AsInt32()};
            matches = EndMatches(end, text);
        }
        if (matches) found.push_back(link);
    }
    return found;
}

World::Target World::Resolve(const std::string& ref, const std::string& path) const {
    std::string why;
    auto target = TryResolve(ref, why);
    if (!target) Fail(path, why);
    return *target;
}

std::string World::Name(const embedded::ObjectKey& key) const {
    auto found = names_.find({key.classId, key.objectId});
    if (found != names_.end()) return found->second;
    std::string className;
    try {
        className = database_.ClassName(key.classId);
    } catch (const std::exception&) {
        className = std::to_string(key.classId);
    }
    return className + "#" + std::to_string(key.objectId);
}

embedded::HookRow World::MakeRow(const RowArg& row, bool storedLink) const {
    embedded::HookRow listed;
    if (row.kind == RowArg::Kind::PendingLink) {
        listed.kind = embedded::HookRow::Kind::PendingLink;
        if (!IsLinkClass(row.className)) Fail(row.path + "/class", "\"" + row.className + "\" is no link class");
        listed.linkClass = row.className;
        auto parent = Resolve(row.parent, row.path + "/parent");
        auto child = Resolve(row.child, row.path + "/child");
        if (parent.isLink || child.isLink) Fail(row.path, "both ends of a link must be objects");
        listed.parent = parent.key;
        listed.child = child.key;
        if (storedLink) {
            auto links = database_.FindLinks(row.className, parent.key, child.key);
            if (links.size() != 1)
                Fail(row.path, "the row " + JsonText(row.written) + " names " +
                                   (links.empty() ? "no stored link" : std::to_string(links.size()) + " stored links") +
                                   " between " + row.parent + " and " + row.child +
                                   (links.empty() ? ""
                                                  : "; name one by a selector with a link value or its id, such as " +
                                                        row.className + "(parent=..., child=..., id=...)"));
            listed.kind = embedded::HookRow::Kind::Link;
            listed.key = links.front();
        }
        return listed;
    }
    auto refPath = row.kind == RowArg::Kind::Ref ? row.path : row.path + "/ref";
    auto target = Resolve(row.ref, refPath);
    listed.key = target.key;
    if (target.isLink) {
        if (row.kind == RowArg::Kind::Record) Fail(refPath, "columns and values are for object rows, not links");
        listed.kind = embedded::HookRow::Kind::Link;
        return listed;
    }
    listed.kind = embedded::HookRow::Kind::Object;
    listed.columns = row.columns;
    if (!row.values.empty()) listed.values = ConvertAll(database_.ClassName(target.key.classId), row.values);
    return listed;
}

answering::Answer World::MakeAnswer(const ScenarioAnswer& answer) const {
    answering::Answer made = answer.answer;
    if (auto* search = std::get_if<answering::answers::Search>(&made.what)) {
        for (size_t i = 0; i < answer.searchRefs.size(); ++i) {
            auto target = Resolve(answer.searchRefs[i], answer.path + "/search/" + std::to_string(i));
            search->picks.push_back(target.key);
        }
    }
    if (auto* open = std::get_if<answering::answers::Open>(&made.what))
        for (const auto& file : answer.openFiles)
            open->paths.push_back(TextFromPath((PathFromText(FilesFolder()) / PathFromText(file)).lexically_normal()));
    if (auto* fill = std::get_if<answering::answers::Fill>(&made.what))
        for (const auto& [name, value] : answer.fill) fill->values.emplace_back(name, ConvertByKind(value));
    return made;
}

Ptr<CvObject> World::MakeObject(CvSession& session, const ObjectArg& arg) const {
    if (!arg.ref) return nullptr;
    auto target = Resolve(*arg.ref, arg.path);
    return session.ObjectStore()->ObjectById(target.key.classId, target.key.objectId);
}

} // namespace quendra::playback
