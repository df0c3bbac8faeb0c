// Reading and checking model files, and the model's look-ups.
#include "Model.h"

#include "BuiltInModelTexts.h"
#include "CvError.h"
#include "Database.h"

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
    return name.rfind("CLASS_ID", 0) == 0 ? 2 : 3;
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

std::shared_ptr<const Model> Build(const json& root, const std::string& source, const std::string& text) {
    ModelReader reader(source);
    reader.Object(root, "", {"classes", "links", "processes", "sequences", "lookups", "users"}, {"classes"});
    auto model = std::make_shared<Model>();
    model->source = source;
    model->jsonText = text;
    std::set<int> ids;
    std::set<std::string> names;
    std::vector<std::string> classPaths; // where each class of model->classes was declared
    std::vector<PendingAttribute> pending;
    auto claim = [&](const json& node, const std::string& path, ClassInfo& info) {
        info.id = static_cast<int16_t>(reader.Integer(node, "id", path, 1, std::numeric_limits<int16_t>::max()));
        if (!ids.insert(info.id).second)
            reader.Fail(path + "/id", "the id " + std::to_string(info.id) + " is used twice");
        info.name = reader.Name(node, "name", path);
        if (!names.insert(info.name).second)
            reader.Fail(path + "/name", "the name \"" + info.name + "\" is used twice");
        info.display = reader.Text(node, "display", path, info.name);
        info.superId = info.id;
        info.rootId = info.id;
    };
    auto ownAttributes = [&](const json& node, const std::string& path, ClassInfo& info) {
        const json* list = reader.Array(node, "attributes", path);
        if (!list) return;
        for (size_t i = 0; i < list->size(); ++i) {
            std::string itemPath = Item(path + "/attributes", i);
            AttributeInfo attribute = reader.Attribute((*list)[i], itemPath);
            pending.push_back({info.id, attribute.name, itemPath, reader.Text((*list)[i], "lookup", itemPath),
                               (*list)[i].contains("reference") ? &(*list)[i].at("reference") : nullptr});
            AddAttribute(info, std::move(attribute), reader, itemPath);
        }
    };

    const json& classes = *reader.Array(root, "classes", "");
    std::vector<std::string> displayPaths;
    for (size_t i = 0; i < classes.size(); ++i) {
        std::string path = Item("/classes", i);
        reader.Object(classes[i], path, {"id", "name", "display", "super", "displayText", "attributes"},
                      {"id", "name"});
        ClassInfo info;
        claim(classes[i], path, info);
        AddSystemAttributes(info, kObjectSystem);
        IndexAttributes(info);
        if (classes[i].contains("super")) {
            std::string superName = reader.Name(classes[i], "super", path);
            auto super = std::find_if(model->classes.begin(), model->classes.end(),
                                      [&](const ClassInfo& c) { return c.name == superName; });
            if (super == model->classes.end())
                reader.Fail(path + "/super", "\"" + superName + "\" is not a class declared before this one");
            info.superId = super->id;
            info.rootId = super->rootId;
            info.attributes = super->attributes;
            info.displayText = super->displayText;
            IndexAttributes(info);
        }
        if (classes[i].contains("displayText")) info.displayText = reader.Names(classes[i], "displayText", path);
        ownAttributes(classes[i], path, info);
        for (size_t d = 0; d < info.displayText.size(); ++d)
            if (!info.Attribute(info.displayText[d]))
                reader.Fail(Item(path + "/displayText", d),
                            "\"" + info.displayText[d] + "\" is not an attribute of \"" + info.name + "\"");
        model->classes.push_back(std::move(info));
        classPaths.push_back(path);
    }

    if (const json* links = reader.Array(root, "links", "")) {
        for (size_t i = 0; i < links->size(); ++i) {
            std::string path = Item("/links", i);
            const json& node = (*links)[i];
            reader.Object(node, path, {"id", "name", "display", "parent", "child", "table", "attributes"},
                          {"id", "name", "parent", "child", "table"});
            ClassInfo info;
            claim(node, path, info);
            info.kind = ClassKind::Link;
            for (const char* end : {"parent", "child"}) {
                std::string endName = reader.Name(node, end, path);
                auto found = std::find_if(model->classes.begin(), model->classes.end(), [&](const ClassInfo& c) {
                    return c.name == endName && c.kind == ClassKind::Object;
                });
                if (found == model->classes.end())
                    reader.Fail(path + PointerToken(end), "\"" + endName + "\" is not a class of the model");
                (std::string(end) == "parent" ? info.parentId : info.childId) = found->id;
            }
            info.table = reader.Name(node, "table", path);
            if (!IsIdentifier(info.table))
                reader.Fail(path + "/table", "a table name takes only letters, digits and underscores");
            AddSystemAttributes(info, kObjectSystem);
            AddSystemAttributes(info, kLinkSystem);
            IndexAttributes(info);
            ownAttributes(node, path, info);
            model->classes.push_back(std::move(info));
            classPaths.push_back(path);
        }
    }

    if (const json* processes = reader.Array(root, "processes", "")) {
        for (size_t i = 0; i < processes->size(); ++i) {
            std::string path = Item("/processes", i);
            const json& node = (*processes)[i];
            reader.Object(node, path, {"id", "name", "display", "steps"}, {"id", "name", "steps"});
            ClassInfo info;
            claim(node, path, info);
            info.kind = ClassKind::Process;
            info.steps = reader.Names(node, "steps", path);
            if (info.steps.empty()) reader.Fail(path + "/steps", "a process needs at least one step");
            info.table = "PLATFORM_PROCESSES";
            AddSystemAttributes(info, kObjectSystem);
            IndexAttributes(info);
            AddAttribute(info, AttributeInfo{"STEP", "Step", 2, false, false, true, 0, std::nullopt}, reader, path);
            model->classes.push_back(std::move(info));
            classPaths.push_back(path);
        }
    }

    if (const json* lookups = reader.Array(root, "lookups", "")) {
        std::set<int> lookupIds;
        for (size_t i = 0; i < lookups->size(); ++i) {
            std::string path = Item("/lookups", i);
            const json& node = (*lookups)[i];
            reader.Object(node, path, {"id", "name", "entries"}, {"id", "name", "entries"});
            LookupInfo lookup;
            lookup.id = static_cast<int16_t>(reader.Integer(node, "id", path, 1, std::numeric_limits<int16_t>::max()));
            lookup.name = reader.Name(node, "name", path);
            if (!lookupIds.insert(lookup.id).second) reader.Fail(path + "/id", "the lookup id is used twice");
            for (const auto& other : model->lookups)
                if (other.name == lookup.name) reader.Fail(path + "/name", "the lookup name is used twice");
            const json& entries = *reader.Array(node, "entries", path);
            for (size_t e = 0; e < entries.size(); ++e) {
                std::string entryPath = Item(path + "/entries", e);
                reader.Object(entries[e], entryPath, {"code", "text"}, {"code", "text"});
                lookup.entries.emplace_back(static_cast<int32_t>(reader.Integer(entries[e], "code", entryPath,
                                                                                std::numeric_limits<int32_t>::min(),
                                                                                std::numeric_limits<int32_t>::max())),
                                            reader.Text(entries[e], "text", entryPath));
            }
            model->lookups.push_back(std::move(lookup));
        }
    }

    model->Index();

    // References and lookups may name classes and tables declared anywhere in the file.
    for (const auto& item : pending) {
        ClassInfo& info = *const_cast<ClassInfo*>(model->ClassById(item.classId));
        AttributeInfo& attribute = info.attributes[info.attributeIndex.at(item.name)];
        if (!item.lookup.empty()) {
            auto found = std::find_if(model->lookups.begin(), model->lookups.end(),
                                      [&](const LookupInfo& l) { return l.name == item.lookup; });
            if (found == model->lookups.end())
                reader.Fail(item.path + "/lookup", "\"" + item.lookup + "\" is not a lookup table of the model");
            attribute.lookupId = found->id;
        }
        if (item.reference) {
            std::string path = item.path + "/reference";
            reader.Object(*item.reference, path, {"class", "text", "display"}, {"class"});
            ReferenceInfo reference;
            reference.className = reader.Name(*item.reference, "class", path);
            const ClassInfo* target = model->ClassByName(reference.className);
            if (!target || target->kind != ClassKind::Object)
                reader.Fail(path + "/class", "\"" + reference.className + "\" is not a class of the model");
            reference.classId = target->id;
            reference.text = reader.Text(*item.reference, "text", path);
            reference.display = reader.Names(*item.reference, "display", path);
            for (size_t d = 0; d < reference.display.size(); ++d)
                if (!target->Attribute(reference.display[d]))
                    reader.Fail(Item(path + "/display", d),
                                "\"" + reference.display[d] + "\" is not an attribute of \"" + target->name + "\"");
            attribute.reference = std::move(reference);
        }
    }
    // Subclasses copied their super class's attributes before lookups and references were resolved.
    for (auto& info : model->classes) {
        if (info.superId == info.id) continue;
        const ClassInfo* super = model->ClassById(info.superId);
        for (const auto& inherited : super->attributes)
            info.attributes[info.attributeIndex.at(inherited.name)] = inherited;
    }

    // Families and tables.
    for (auto& info : model->classes) {
        if (info.kind != ClassKind::Object) continue;
        if (info.superId == info.id)
            info.table = info.name == "Users" ? "USERS" : Upper(info.name);
        else
            info.table = model->ClassById(info.rootId)->table;
    }
    for (auto& info : model->classes) {
        for (const auto& other : model->classes)
            if (model->Includes(info.id, other.id)) info.family.push_back(other.id);
    }
    for (size_t i = 0; i < model->classes.size(); ++i) {
        const ClassInfo& info = model->classes[i];
        TableInfo* table = nullptr;
        for (auto& existing : model->tables)
            if (existing.name == info.table) table = &existing;
        std::string path = classPaths[i] + (info.kind == ClassKind::Link ? "/table" : "/name");
        if (!table) {
            if (info.table.rfind("PLATFORM_", 0) == 0 && info.kind != ClassKind::Process)
                reader.Fail(path, "the table name \"" + info.table + "\" is reserved");
            model->tables.push_back(TableInfo{info.table, info.kind, {}});
            table = &model->tables.back();
        } else if (table->kind != info.kind) {
            reader.Fail(path, "the table \"" + info.table + "\" would hold objects and links together");
        } else if (info.kind == ClassKind::Object && info.superId == info.id) {
            reader.Fail(path, "the classes \"" + info.name + "\" and another class would share the table \"" +
                                  info.table + "\"");
        }
        for (const auto& attribute : info.attributes) {
            auto column = std::find_if(table->columns.begin(), table->columns.end(),
                                       [&](const ColumnInfo& c) { return c.name == attribute.name; });
            if (column == table->columns.end())
                table->columns.push_back({attribute.name, attribute.type});
            else if (column->type != attribute.type)
                reader.Fail(classPaths[i], "the attribute \"" + attribute.name + "\" has two types in the table \"" +
                                               table->name + "\"");
        }
    }

    const ClassInfo* users = model->ClassByName("Users");
    if (!users || users->kind != ClassKind::Object || users->superId != users->id)
        reader.Fail("/classes", "the model must declare the class \"Users\" without a super class");
    if (!users->Attribute("LOGIN") || users->Attribute("LOGIN")->type != 1)
        reader.Fail("/classes", "the class \"Users\" must have the text attribute \"LOGIN\"");
    if (users->Attribute("IS_ADMINISTRATOR"))
        reader.Fail("/classes", "the attribute \"IS_ADMINISTRATOR\" of \"Users\" is reserved");
    model->usersClassId = users->id;

    if (const json* sequences = reader.Array(root, "sequences", "")) {
        for (size_t i = 0; i < sequences->size(); ++i) {
            std::string path = Item("/sequences", i);
            const json& node = (*sequences)[i];
            reader.Object(node, path, {"name", "format", "next"}, {"name"});
            SequenceInfo sequence;
            sequence.name = reader.Name(node, "name", path);
            for (const auto& other : model->sequences)
                if (other.name == sequence.name) reader.Fail(path + "/name", "the sequence name is used twice");
            std::string format = reader.Text(node, "format", path, "%d");
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
                    reader.Fail(path + "/format", "the format takes one number written as %d or %0Nd");
                if (q > widthStart) sequence.width = std::stoi(format.substr(widthStart, q - widthStart));
                seen = true;
                part = &sequence.suffix;
                p = q;
            }
            if (!seen) reader.Fail(path + "/format", "the format takes one number written as %d or %0Nd");
            sequence.next = reader.Integer(node, "next", path, 0, std::numeric_limits<int32_t>::max(), 1);
            model->sequences.push_back(std::move(sequence));
        }
    }

    if (const json* userList = reader.Array(root, "users", "")) {
        for (size_t i = 0; i < userList->size(); ++i) {
            std::string path = Item("/users", i);
            const json& node = (*userList)[i];
            reader.Object(node, path, {"login", "admin", "values"}, {"login"});
            UserInfo user;
            user.login = reader.Name(node, "login", path);
            for (const auto& other : model->users)
                if (other.login == user.login) reader.Fail(path + "/login", "the login is used twice");
            user.admin = reader.Flag(node, "admin", path);
            if (node.contains("values")) {
                const json& values = node.at("values");
                if (!values.is_object()) reader.Fail(path + "/values", "an object is expected here");
                for (const auto& [key, value] : values.items()) {
                    std::string valuePath = path + "/values" + PointerToken(key);
                    const AttributeInfo* attribute = users->Attribute(key);
                    if (!attribute || attribute->system || key == "LOGIN")
                        reader.Fail(valuePath, "\"" + key + "\" is not an attribute a user can be given");
                    user.values.emplace_back(key, reader.Scalar(value, valuePath, attribute->type));
                }
            }
            model->users.push_back(std::move(user));
        }
    }
    return model;
}

} // namespace

std::string SequenceInfo::Format(int64_t number) const {
    std::string digits = std::to_string(number < 0 ? -number : number);
    std::string sign = number < 0 ? "-" : "";
    size_t length = sign.size() + digits.size();
    if (static_cast<size_t>(width) > length) {
        size_t pad = width - length;
        if (zeroPad)
            digits = std::string(pad, '0') + digits;
        else
            sign = std::string(pad, ' ') + sign;
    }
    return prefix + sign + digits + suffix;
}

const ClassInfo* Model::ClassById(int16_t id) const {
    if (id >= 0) {
        if (static_cast<size_t>(id) >= byId_.size() || byId_[id] < 0) return nullptr;
        return &classes[byId_[id]];
    }
    auto found = byNegativeId_.find(id);
    return found == byNegativeId_.end() ? nullptr : &classes[found->second];
}

const ClassInfo* Model::ClassByName(const std::string& name) const {
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &classes[found->second];
}

const TableInfo* Model::Table(const std::string& name) const {
    auto found = tableByName_.find(name);
    return found == tableByName_.end() ? nullptr : &tables[found->second];
}

const LookupInfo* Model::Lookup(int16_t id) const {
    for (const auto& lookup : lookups)
        if (lookup.id == id) return &lookup;
    return nullptr;
}

bool Model::Includes(int16_t classId, int16_t otherId) const {
    const ClassInfo* other = ClassById(otherId);
    while (other) {
        if (other->id == classId) return true;
        if (other->superId == other->id) return false;
        other = ClassById(other->superId);
    }
    return false;
}

void Model::Index() {
    byId_.clear();
    byNegativeId_.clear();
    byName_.clear();
    tableByName_.clear();
    int16_t highest = -1;
    for (const auto& cls : classes) highest = std::max(highest, cls.id);
    byId_.assign(static_cast<size_t>(highest + 1), -1);
    for (size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].id >= 0)
            byId_[classes[i].id] = static_cast<int32_t>(i);
        else
            byNegativeId_[classes[i].id] = i;
        byName_[classes[i].name] = i;
    }
    for (size_t i = 0; i < tables.size(); ++i) tableByName_[tables[i].name] = i;
}

namespace {

// The kind of value an attribute of that type holds.
Value::Kind KindOfType(int32_t type) {
    switch (type) {
    case 2:
        return Value::Kind::Int16;
    case 3:
        return Value::Kind::Int32;
    case 4:
        return Value::Kind::Double;
    case 15:
        return Value::Kind::Bool;
    default:
        return Value::Kind::Text;
    }
}

} // namespace

Value ConvertToType(const Value& value, int32_t type) {
    // A value of the attribute's own kind converts to itself.
    if (value.IsNull() || value.GetKind() == KindOfType(type)) return value;
    // A cleared field: an empty text is no number and no Boolean, it is no value.
    if (value.GetKind() == Value::Kind::Text && value.AsText().empty() &&
        (type == 2 || type == 3 || type == 4 || type == 15))
        return {};
    switch (type) {
    case 2:
        return Value::Int16(value.AsInt16());
    case 3:
        return Value::Int32(value.AsInt32());
    case 4:
        return Value::Double(value.AsDouble());
    case 15:
        return Value::Bool(value.AsBool());
    default:
        return Value::Text(value.AsText());
    }
}

const char* SqlType(int32_t type) {
    switch (type) {
    case 2:
    case 3:
    case 15:
        return "INTEGER";
    case 4:
        return "REAL";
    default:
        return "TEXT";
    }
}

std::shared_ptr<const Model> ParseModel(const std::string& jsonText, const std::string& source) {
    json root;
    try {
        root = json::parse(jsonText, nullptr, true, true);
    } catch (const json::exception& error) {
        // Syntax errors and numbers too large for any type alike.
        throw EmbeddedError(source, "", std::string("the model is not valid JSON: ") + error.what());
    }
    auto model = Build(root, source, jsonText);
    const_cast<Model&>(*model).Index();
    return model;
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
