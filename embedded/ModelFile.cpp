// Reading and checking model files: one reader per section of the file, building a model that is
// handed out, indexed and unchanging, only once every section is read and checked.
#include "BuiltInModelTexts.h"
#include "CvError.h"
#include "Database.h"
#include "Model.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

namespace quendra::embedded {

namespace {

using nlohmann::json;

// "/key" with the key escaped as a JSON pointer token.
std::string PointerToken(const std::string& key) {
    return (json::json_pointer() / key).to_string();
}

std::string Item(const std::string& path, size_t index) {
    return path + "/" + std::to_string(index);
}

bool IsIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string Upper(const std::string& text) {
    std::string result;
    for (char c : text)
        result += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(c)) : '_';
    return result;
}

const std::vector<std::string> kObjectSystem = {"CLASS_ID", "OBJECT_ID"};
const std::vector<std::string> kLinkSystem = {"CLASS_ID1",  "OBJECT_ID1",    "CLASS_ID2",
                                              "OBJECT_ID2", "PAR_OBJECT_ID", "SON_OBJECT_ID"};

int32_t SystemType(const std::string& name) {
    return static_cast<int32_t>(name.rfind("CLASS_ID", 0) == 0 ? AttributeType::Int16 : AttributeType::Int32);
}

// Walks one model text, naming the JSON pointer of every mistake.
class ModelReader {
public:
    explicit ModelReader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void Fail(const std::string& path, const std::string& message) const {
        throw EmbeddedError(file_, path, message);
    }

    void Object(const json& node, const std::string& path, std::initializer_list<const char*> allowed,
                std::initializer_list<const char*> required) const {
        if (!node.is_object()) Fail(path, "an object is expected here");
        for (const auto& item : node.items()) {
            const std::string& key = item.key();
            if (std::none_of(allowed.begin(), allowed.end(), [&](const char* name) { return key == name; }))
                Fail(path + PointerToken(key), "unknown key \"" + key + "\"");
        }
        for (const char* name : required)
            if (!node.contains(name))
                Fail(path + PointerToken(name), std::string("the key \"") + name + "\" is missing");
    }

    const json* Array(const json& node, const char* key, const std::string& path) const {
        if (!node.contains(key)) return nullptr;
        const json& value = node.at(key);
        if (!value.is_array()) Fail(path + PointerToken(key), "a list is expected here");
        return &value;
    }

    std::string Text(const json& node, const char* key, const std::string& path,
                     const std::string& fallback = {}) const {
        if (!node.contains(key)) return fallback;
        const json& value = node.at(key);
        if (!value.is_string()) Fail(path + PointerToken(key), "a text is expected here");
        return value.get<std::string>();
    }

    std::string Name(const json& node, const char* key, const std::string& path) const {
        std::string text = Text(node, key, path);
        if (text.empty()) Fail(path + PointerToken(key), "the name must not be empty");
        return text;
    }

    int64_t Integer(const json& node, const char* key, const std::string& path, int64_t low, int64_t high,
                    int64_t fallback = 0) const {
        if (!node.contains(key)) return fallback;
        const json& value = node.at(key);
        if (!value.is_number_integer()) Fail(path + PointerToken(key), "a whole number is expected here");
        int64_t number =
            value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(high) ? high + 1 : value.get<int64_t>();
        if (number < low || number > high)
            Fail(path + PointerToken(key),
                 "the number must lie between " + std::to_string(low) + " and " + std::to_string(high));
        return number;
    }

    bool Flag(const json& node, const char* key, const std::string& path) const {
        if (!node.contains(key)) return false;
        const json& value = node.at(key);
        if (!value.is_boolean()) Fail(path + PointerToken(key), "true or false is expected here");
        return value.get<bool>();
    }

    std::vector<std::string> Names(const json& node, const char* key, const std::string& path) const {
        std::vector<std::string> names;
        const json* list = Array(node, key, path);
        if (!list) return names;
        for (size_t i = 0; i < list->size(); ++i) {
            if (!(*list)[i].is_string()) Fail(Item(path + PointerToken(key), i), "a text is expected here");
            names.push_back((*list)[i].get<std::string>());
        }
        return names;
    }

    Value Scalar(const json& value, const std::string& path, int32_t type) const {
        Value raw;
        if (value.is_string())
            raw = Value::Text(value.get<std::string>());
        else if (value.is_boolean())
            raw = Value::Bool(value.get<bool>());
        else if (value.is_number_integer()) {
            int64_t number = value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(INT64_MAX)
                                 ? INT64_MAX
                                 : value.get<int64_t>();
            if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
                raw = Value::Double(static_cast<double>(number));
            else
                raw = Value::Int32(static_cast<int32_t>(number));
        } else if (value.is_number_float())
            raw = Value::Double(value.get<double>());
        else if (!value.is_null())
            Fail(path, "a single value is expected here");
        try {
            return ConvertToType(raw, type);
        } catch (const CvError& error) {
            Fail(path, error.what());
        }
    }

    AttributeInfo Attribute(const json& node, const std::string& path) const {
        Object(node, path, {"name", "display", "type", "mandatory", "primary", "lookup", "reference"}, {"name"});
        AttributeInfo attribute;
        attribute.name = Name(node, "name", path);
        if (!IsIdentifier(attribute.name))
            Fail(path + "/name", "an attribute name takes only letters, digits and underscores");
        attribute.display = Text(node, "display", path, attribute.name);
        attribute.type = static_cast<int32_t>(Integer(node, "type", path, 0, 1000, 1));
        attribute.mandatory = Flag(node, "mandatory", path);
        attribute.primary = Flag(node, "primary", path);
        return attribute;
    }

    std::string file_;
};

void AddSystemAttributes(ClassInfo& info, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        AttributeInfo attribute;
        attribute.name = name;
        attribute.display = name;
        attribute.type = SystemType(name);
        attribute.system = true;
        info.attributes.push_back(attribute);
    }
}

// A class's attribute list: the name must be new in it.
void AddAttribute(ClassInfo& info, AttributeInfo attribute, const ModelReader& reader, const std::string& path) {
    if (info.Attribute(attribute.name))
        reader.Fail(path + "/name",
                    "the attribute \"" + attribute.name + "\" is already an attribute of \"" + info.name + "\"");
    info.attributeIndex[attribute.name] = info.attributes.size();
    info.attributes.push_back(std::move(attribute));
}

void IndexAttributes(ClassInfo& info) {
    info.attributeIndex.clear();
    for (size_t i = 0; i < info.attributes.size(); ++i) info.attributeIndex[info.attributes[i].name] = i;
}

// Where each class's own attributes came from, for errors found after all classes are read.
struct PendingAttribute {
    int16_t classId;
    std::string name;
    std::string path;
    std::string lookup;
    const json* reference;
};

// Builds a model section by section. The model stays the builder's own, and changeable, until
// Finish() indexes it and hands it out unchanging.
class ModelBuilder {
public:
    ModelBuilder(const json& root, const std::string& source, const std::string& text) : root_(root), reader_(source) {
        model_.source = source;
        model_.jsonText = text;
    }

    std::shared_ptr<const Model> Build() {
        reader_.Object(root_, "", {"classes", "links", "processes", "sequences", "lookups", "users"}, {"classes"});
        ReadClasses();
        ReadLinks();
        ReadProcesses();
        ReadLookups();
        model_.Index();
        ResolveAttributes();
        PlaceInTables();
        CheckUsersClass();
        ReadSequences();
        ReadUsers();
        model_.Index();
        return std::make_shared<const Model>(std::move(model_));
    }

private:
    // The list under that key of the file's top level, each item with its JSON path.
    template <typename Read> void EachItem(const char* key, Read read) {
        const json* list = reader_.Array(root_, key, "");
        if (!list) return;
        for (size_t i = 0; i < list->size(); ++i) read((*list)[i], Item(std::string("/") + key, i));
    }

    // The id, name and display every class, link class and process has; both must be new.
    void Claim(const json& node, const std::string& path, ClassInfo& info) {
        info.id = static_cast<int16_t>(reader_.Integer(node, "id", path, 1, std::numeric_limits<int16_t>::max()));
        if (!ids_.insert(info.id).second)
            reader_.Fail(path + "/id", "the id " + std::to_string(info.id) + " is used twice");
        info.name = reader_.Name(node, "name", path);
        if (!names_.insert(info.name).second)
            reader_.Fail(path + "/name", "the name \"" + info.name + "\" is used twice");
        info.display = reader_.Text(node, "display", path, info.name);
        info.superId = info.id;
        info.rootId = info.id;
    }

    // A class's own attributes; their lookups and references are resolved once all sections are read.
    void OwnAttributes(const json& node, const std::string& path, ClassInfo& info) {
        const json* list = reader_.Array(node, "attributes", path);
        if (!list) return;
        for (size_t i = 0; i < list->size(); ++i) {
            std::string itemPath = Item(path + "/attributes", i);
            AttributeInfo attribute = reader_.Attribute((*list)[i], itemPath);
            pending_.push_back({info.id, attribute.name, itemPath, reader_.Text((*list)[i], "lookup", itemPath),
                                (*list)[i].contains("reference") ? &(*list)[i].at("reference") : nullptr});
            AddAttribute(info, std::move(attribute), reader_, itemPath);
        }
    }

    void Add(ClassInfo info, const std::string& path) {
        model_.classes.push_back(std::move(info));
        classPaths_.push_back(path);
    }

    // The class with that id, to change; the model is indexed.
    ClassInfo& ClassToChange(int16_t id) {
        return model_.classes[static_cast<size_t>(model_.ClassById(id) - model_.classes.data())];
    }

    void ReadClasses() {
        EachItem("classes", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"id", "name", "display", "super", "displayText", "attributes"}, {"id", "name"});
            ClassInfo info;
            Claim(node, path, info);
            AddSystemAttributes(info, kObjectSystem);
            IndexAttributes(info);
            if (node.contains("super")) {
                std::string superName = reader_.Name(node, "super", path);
                auto super = std::find_if(model_.classes.begin(), model_.classes.end(),
                                          [&](const ClassInfo& c) { return c.name == superName; });
                if (super == model_.classes.end())
                    reader_.Fail(path + "/super", "\"" + superName + "\" is not a class declared before this one");
                info.superId = super->id;
                info.rootId = super->rootId;
                info.attributes = super->attributes;
                info.displayText = super->displayText;
                IndexAttributes(info);
            }
            if (node.contains("displayText")) info.displayText = reader_.Names(node, "displayText", path);
            OwnAttributes(node, path, info);
            for (size_t d = 0; d < info.displayText.size(); ++d)
                if (!info.Attribute(info.displayText[d]))
                    reader_.Fail(Item(path + "/displayText", d),
                                 "\"" + info.displayText[d] + "\" is not an attribute of \"" + info.name + "\"");
            Add(std::move(info), path);
        });
    }

    void ReadLinks() {
        EachItem("links", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"id", "name", "display", "parent", "child", "table", "attributes"},
                           {"id", "name", "parent", "child", "table"});
            ClassInfo info;
            Claim(node, path, info);
            info.kind = ClassKind::Link;
            for (const char* end : {"parent", "child"}) {
                std::string endName = reader_.Name(node, end, path);
                auto found = std::find_if(model_.classes.begin(), model_.classes.end(), [&](const ClassInfo& c) {
                    return c.name == endName && c.kind == ClassKind::Object;
                });
                if (found == model_.classes.end())
                    reader_.Fail(path + PointerToken(end), "\"" + endName + "\" is not a class of the model");
                (std::string(end) == "parent" ? info.parentId : info.childId) = found->id;
            }
            info.table = reader_.Name(node, "table", path);
            if (!IsIdentifier(info.table))
                reader_.Fail(path + "/table", "a table name takes only letters, digits and underscores");
            AddSystemAttributes(info, kObjectSystem);
            AddSystemAttributes(info, kLinkSystem);
            IndexAttributes(info);
            OwnAttributes(node, path, info);
            Add(std::move(info), path);
        });
    }

    void ReadProcesses() {
        EachItem("processes", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"id", "name", "display", "steps"}, {"id", "name", "steps"});
            ClassInfo info;
            Claim(node, path, info);
            info.kind = ClassKind::Process;
            info.steps = reader_.Names(node, "steps", path);
            if (info.steps.empty()) reader_.Fail(path + "/steps", "a process needs at least one step");
            info.table = "PLATFORM_PROCESSES";
            AddSystemAttributes(info, kObjectSystem);
            IndexAttributes(info);
            AddAttribute(info, AttributeInfo{"STEP", "Step", 2, false, false, true, 0, std::nullopt}, reader_, path);
            Add(std::move(info), path);
        });
    }

    void ReadLookups() {
        std::set<int> lookupIds;
        EachItem("lookups", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"id", "name", "entries"}, {"id", "name", "entries"});
            LookupInfo lookup;
            lookup.id = static_cast<int16_t>(reader_.Integer(node, "id", path, 1, std::numeric_limits<int16_t>::max()));
            lookup.name = reader_.Name(node, "name", path);
            if (!lookupIds.insert(lookup.id).second) reader_.Fail(path + "/id", "the lookup id is used twice");
            for (const auto& other : model_.lookups)
                if (other.name == lookup.name) reader_.Fail(path + "/name", "the lookup name is used twice");
            const json& entries = *reader_.Array(node, "entries", path);
            for (size_t e = 0; e < entries.size(); ++e) {
                std::string entryPath = Item(path + "/entries", e);
                reader_.Object(entries[e], entryPath, {"code", "text"}, {"code", "text"});
                lookup.entries.emplace_back(static_cast<int32_t>(reader_.Integer(entries[e], "code", entryPath,
                                                                                 std::numeric_limits<int32_t>::min(),
                                                                                 std::numeric_limits<int32_t>::max())),
                                            reader_.Text(entries[e], "text", entryPath));
            }
            model_.lookups.push_back(std::move(lookup));
        });
    }

    // References and lookups may name classes and tables declared anywhere in the file.
    void ResolveAttributes() {
        for (const auto& item : pending_) {
            ClassInfo& info = ClassToChange(item.classId);
            AttributeInfo& attribute = info.attributes[info.attributeIndex.at(item.name)];
            if (!item.lookup.empty()) {
                auto found = std::find_if(model_.lookups.begin(), model_.lookups.end(),
                                          [&](const LookupInfo& l) { return l.name == item.lookup; });
                if (found == model_.lookups.end())
                    reader_.Fail(item.path + "/lookup", "\"" + item.lookup + "\" is not a lookup table of the model");
                attribute.lookupId = found->id;
            }
            if (item.reference) attribute.reference = Reference(*item.reference, item.path + "/reference");
        }
        // Subclasses copied their super class's attributes before lookups and references were resolved.
        for (auto& info : model_.classes) {
            if (info.superId == info.id) continue;
            const ClassInfo* super = model_.ClassById(info.superId);
            for (const auto& inherited : super->attributes)
                info.attributes[info.attributeIndex.at(inherited.name)] = inherited;
        }
    }

    ReferenceInfo Reference(const json& node, const std::string& path) const {
        reader_.Object(node, path, {"class", "text", "display"}, {"class"});
        ReferenceInfo reference;
        reference.className = reader_.Name(node, "class", path);
        const ClassInfo* target = model_.ClassByName(reference.className);
        if (!target || target->kind != ClassKind::Object)
            reader_.Fail(path + "/class", "\"" + reference.className + "\" is not a class of the model");
        reference.classId = target->id;
        reference.text = reader_.Text(node, "text", path);
        reference.display = reader_.Names(node, "display", path);
        for (size_t d = 0; d < reference.display.size(); ++d)
            if (!target->Attribute(reference.display[d]))
                reader_.Fail(Item(path + "/display", d),
                             "\"" + reference.display[d] + "\" is not an attribute of \"" + target->name + "\"");
        return reference;
    }

    // Families and tables.
    void PlaceInTables() {
        for (auto& info : model_.classes) {
            if (info.kind != ClassKind::Object) continue;
            if (info.superId == info.id)
                info.table = info.name == "Users" ? "USERS" : Upper(info.name);
            else
                info.table = model_.ClassById(info.rootId)->table;
        }
        for (auto& info : model_.classes) {
            for (const auto& other : model_.classes)
                if (model_.Includes(info.id, other.id)) info.family.push_back(other.id);
        }
        for (size_t i = 0; i < model_.classes.size(); ++i) {
            const ClassInfo& info = model_.classes[i];
            TableInfo* table = nullptr;
            for (auto& existing : model_.tables)
                if (existing.name == info.table) table = &existing;
            std::string path = classPaths_[i] + (info.kind == ClassKind::Link ? "/table" : "/name");
            if (!table) {
                if (info.table.rfind("PLATFORM_", 0) == 0 && info.kind != ClassKind::Process)
                    reader_.Fail(path, "the table name \"" + info.table + "\" is reserved");
                model_.tables.push_back(TableInfo{info.table, info.kind, {}});
                table = &model_.tables.back();
            } else if (table->kind != info.kind) {
                reader_.Fail(path, "the table \"" + info.table + "\" would hold objects and links together");
            } else if (info.kind == ClassKind::Object && info.superId == info.id) {
                reader_.Fail(path, "the classes \"" + info.name + "\" and another class would share the table \"" +
                                       info.table + "\"");
            }
            for (const auto& attribute : info.attributes) {
                auto column = std::find_if(table->columns.begin(), table->columns.end(),
                                           [&](const ColumnInfo& c) { return c.name == attribute.name; });
                if (column == table->columns.end())
                    table->columns.push_back({attribute.name, attribute.type});
                else if (column->type != attribute.type)
                    reader_.Fail(classPaths_[i], "the attribute \"" + attribute.name +
                                                     "\" has two types in the table \"" + table->name + "\"");
            }
        }
    }

    void CheckUsersClass() {
        const ClassInfo* users = model_.ClassByName("Users");
        if (!users || users->kind != ClassKind::Object || users->superId != users->id)
            reader_.Fail("/classes", "the model must declare the class \"Users\" without a super class");
        if (!users->Attribute("LOGIN") || users->Attribute("LOGIN")->type != 1)
            reader_.Fail("/classes", "the class \"Users\" must have the text attribute \"LOGIN\"");
        if (users->Attribute("IS_ADMINISTRATOR"))
            reader_.Fail("/classes", "the attribute \"IS_ADMINISTRATOR\" of \"Users\" is reserved");
        model_.usersClassId = users->id;
    }

    void ReadSequences() {
        EachItem("sequences", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"name", "format", "next"}, {"name"});
            SequenceInfo sequence;
            sequence.name = reader_.Name(node, "name", path);
            for (const auto& other : model_.sequences)
                if (other.name == sequence.name) reader_.Fail(path + "/name", "the sequence name is used twice");
            SequenceFormat(reader_.Text(node, "format", path, "%d"), path + "/format", sequence);
            sequence.next = reader_.Integer(node, "next", path, 0, std::numeric_limits<int32_t>::max(), 1);
            model_.sequences.push_back(std::move(sequence));
        });
    }

    // A sequence's format: a prefix, one number written as %d or %0Nd, a suffix; %% is a percent sign.
    void SequenceFormat(const std::string& format, const std::string& path, SequenceInfo& sequence) const {
        std::string* part = &sequence.prefix;
        bool seen = false;
        for (size_t p = 0; p < format.size(); ++p) {
            if (format[p] != '%') {
                *part += format[p];
                continue;
            }
            if (p + 1 < format.size() && format[p + 1] == '%') {
                *part += '%';
                ++p;
                continue;
            }
            size_t q = p + 1;
            if (q < format.size() && format[q] == '0') {
                sequence.zeroPad = true;
                ++q;
            }
            size_t widthStart = q;
            while (q < format.size() && std::isdigit(static_cast<unsigned char>(format[q]))) ++q;
            if (seen || q >= format.size() || format[q] != 'd' || q - widthStart > 2)
                reader_.Fail(path, "the format takes one number written as %d or %0Nd");
            if (q > widthStart) sequence.width = std::stoi(format.substr(widthStart, q - widthStart));
            seen = true;
            part = &sequence.suffix;
            p = q;
        }
        if (!seen) reader_.Fail(path, "the format takes one number written as %d or %0Nd");
    }

    void ReadUsers() {
        const ClassInfo* users = model_.ClassById(model_.usersClassId);
        EachItem("users", [&](const json& node, const std::string& path) {
            reader_.Object(node, path, {"login", "admin", "values"}, {"login"});
            UserInfo user;
            user.login = reader_.Name(node, "login", path);
            for (const auto& other : model_.users)
                if (other.login == user.login) reader_.Fail(path + "/login", "the login is used twice");
            user.admin = reader_.Flag(node, "admin", path);
            if (node.contains("values")) {
                const json& values = node.at("values");
                if (!values.is_object()) reader_.Fail(path + "/values", "an object is expected here");
                for (const auto& [key, value] : values.items()) {
                    std::string valuePath = path + "/values" + PointerToken(key);
                    const AttributeInfo* attribute = users->Attribute(key);
                    if (!attribute || attribute->system || key == "LOGIN")
                        reader_.Fail(valuePath, "\"" + key + "\" is not an attribute a user can be given");
                    user.values.emplace_back(key, reader_.Scalar(value, valuePath, attribute->type));
                }
            }
            model_.users.push_back(std::move(user));
        });
    }

    const json& root_;
    ModelReader reader_;
    Model model_;
    std::set<int> ids_;
    std::set<std::string> names_;
    std::vector<std::string> classPaths_; // where each class of the model was declared
    std::vector<PendingAttribute> pending_;
};

} // namespace

std::shared_ptr<const Model> ParseModel(const std::string& jsonText, const std::string& source) {
    json root;
    try {
        root = json::parse(jsonText, nullptr, true, true);
    } catch (const json::exception& error) {
        // Syntax errors and numbers too large for any type alike.
        throw EmbeddedError(source, "", std::string("the model is not valid JSON: ") + error.what());
    }
    return ModelBuilder(root, source, jsonText).Build();
}

std::shared_ptr<const Model> LoadModelFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EmbeddedError(path, "", "the model file cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    return ParseModel(text.str(), path);
}

std::shared_ptr<const Model> BuiltInModel(const std::string& name) {
    for (const auto& [modelName, text] : BuiltInModelTexts())
        if (modelName == name) return ParseModel(text, name);
    throw EmbeddedError("", "", "there is no built-in model named \"" + name + "\"");
}

std::vector<std::string> BuiltInModelNames() {
    std::vector<std::string> names;
    for (const auto& entry : BuiltInModelTexts()) names.push_back(entry.first);
    return names;
}

} // namespace quendra::embedded
