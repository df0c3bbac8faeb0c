// Reading and checking model files: one reader per section of the file, building a model that is
// handed out, indexed and unchanging, only once every section is read and checked.
// SPDX-License-Identifier: Apache-2.0
#include "BuiltInModelTexts.h"
#include "CvError.h"
#include "Database.h"
#include "JsonCursor.h"
#include "Model.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <set>

namespace quendra::embedded {

namespace {

using Wording = JsonCursor::Wording;

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

// The readers of one value each: a key that may be left out gives the fallback.

// An object whose keys are all among `allowed`, with every one of `required`.
void ExpectObject(const JsonCursor& node, std::initializer_list<const char*> allowed,
                  std::initializer_list<const char*> required) {
    node.ExpectObject(allowed);
    for (const char* name : required) node.At(name);
}

std::vector<JsonCursor> List(const JsonCursor& node, const char* key) {
    auto list = node.Find(key);
    return list ? list->Items() : std::vector<JsonCursor>{};
}

std::string Text(const JsonCursor& node, const char* key, const std::string& fallback = {}) {
    auto text = node.Find(key);
    return text ? text->String() : fallback;
}

std::string Name(const JsonCursor& node, const char* key) {
    std::string text = Text(node, key);
    if (text.empty()) node.At(key).Fail("the name must not be empty");
    return text;
}

int64_t Integer(const JsonCursor& node, const char* key, int64_t low, int64_t high, int64_t fallback = 0) {
    auto value = node.Find(key);
    if (!value) return fallback;
    int64_t number = value->Integer();
    if (value->Value().is_number_unsigned() && value->Value().get<uint64_t>() > uint64_t(high)) number = high + 1;
    if (number < low || number > high)
        value->Fail("the number must lie between " + std::to_string(low) + " and " + std::to_string(high));
    return number;
}

bool Flag(const JsonCursor& node, const char* key) {
    auto flag = node.Find(key);
    return flag && flag->Bool();
}

std::vector<std::string> Names(const JsonCursor& node, const char* key) {
    std::vector<std::string> names;
    for (const auto& item : List(node, key)) names.push_back(item.String());
    return names;
}

Value Scalar(const JsonCursor& node, int32_t type) {
    const Json& value = node.Value();
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
        node.Fail("a single value is expected here");
    try {
        return ConvertToType(raw, type);
    } catch (const CvError& error) {
        node.Fail(error.what());
    }
}

AttributeInfo Attribute(const JsonCursor& node) {
    ExpectObject(node, {"name", "display", "type", "mandatory", "primary", "lookup", "reference"}, {"name"});
    AttributeInfo attribute;
    attribute.name = Name(node, "name");
    if (!IsIdentifier(attribute.name))
        node.At("name").Fail("an attribute name takes only letters, digits and underscores");
    attribute.display = Text(node, "display", attribute.name);
    attribute.type = static_cast<int32_t>(Integer(node, "type", 0, 1000, 1));
    attribute.mandatory = Flag(node, "mandatory");
    attribute.primary = Flag(node, "primary");
    return attribute;
}

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

// A class's attribute list: the name must be new in it; `node` declares the attribute, or the class
// for an attribute the class brings itself.
void AddAttribute(ClassInfo& info, AttributeInfo attribute, const JsonCursor& node) {
    if (info.Attribute(attribute.name))
        node.At("name").Fail("the attribute \"" + attribute.name + "\" is already an attribute of \"" + info.name +
                             "\"");
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
    JsonCursor node;
    std::string lookup;
    std::optional<JsonCursor> reference;
};

// Builds a model section by section. The model stays the builder's own, and changeable, until
// Build() has read every section; only then is it indexed and handed out unchanging.
class ModelBuilder {
public:
    ModelBuilder(const Json& root, const std::string& source, const std::string& text)
        : root_(root, "", source, Wording::Brief) {
        model_.source = source;
        model_.jsonText = text;
    }

    std::shared_ptr<const Model> Build() {
        ExpectObject(root_, {"classes", "links", "processes", "sequences", "lookups", "users"}, {"classes"});
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
    // The id, name and display every class, link class and process has; both must be new.
    void Claim(const JsonCursor& node, ClassInfo& info) {
        info.id = static_cast<int16_t>(Integer(node, "id", 1, std::numeric_limits<int16_t>::max()));
        if (!ids_.insert(info.id).second) node.At("id").Fail("the id " + std::to_string(info.id) + " is used twice");
        info.name = Name(node, "name");
        if (!names_.insert(info.name).second) node.At("name").Fail("the name \"" + info.name + "\" is used twice");
        info.display = Text(node, "display", info.name);
        info.superId = info.id;
        info.rootId = info.id;
    }

    // A class's own attributes; their lookups and references are resolved once all sections are read.
    void OwnAttributes(const JsonCursor& node, ClassInfo& info) {
        for (const auto& item : List(node, "attributes")) {
            AttributeInfo attribute = Attribute(item);
            pending_.push_back({info.id, attribute.name, item, Text(item, "lookup"), item.Find("reference")});
            AddAttribute(info, std::move(attribute), item);
        }
    }

    void Add(ClassInfo info, const JsonCursor& node) {
        model_.classes.push_back(std::move(info));
        classNodes_.push_back(node);
    }

    // The class with that id, to change; the model is indexed.
    ClassInfo& ClassToChange(int16_t id) {
        return model_.classes[static_cast<size_t>(model_.ClassById(id) - model_.classes.data())];
    }

    void ReadClasses() {
        for (const auto& node : List(root_, "classes")) {
            ExpectObject(node, {"id", "name", "display", "super", "displayText", "attributes"}, {"id", "name"});
            ClassInfo info;
            Claim(node, info);
            AddSystemAttributes(info, kObjectSystem);
            IndexAttributes(info);
            if (node.Has("super")) {
                std::string superName = Name(node, "super");
                auto super = std::find_if(model_.classes.begin(), model_.classes.end(),
                                          [&](const ClassInfo& c) { return c.name == superName; });
                if (super == model_.classes.end())
                    node.At("super").Fail("\"" + superName + "\" is not a class declared before this one");
                info.superId = super->id;
                info.rootId = super->rootId;
                info.attributes = super->attributes;
                info.displayText = super->displayText;
                IndexAttributes(info);
            }
            if (node.Has("displayText")) info.displayText = Names(node, "displayText");
            OwnAttributes(node, info);
            info.displayPositions.clear();
            for (size_t d = 0; d < info.displayText.size(); ++d) {
                const AttributeInfo* attribute = info.Attribute(info.displayText[d]);
                if (!attribute)
                    node.At("displayText")
                        .Items()[d]
                        .Fail("\"" + info.displayText[d] + "\" is not an attribute of \"" + info.name + "\"");
                info.displayPositions.push_back(static_cast<size_t>(attribute - info.attributes.data()));
            }
            Add(std::move(info), node);
        }
    }

    void ReadLinks() {
        for (const auto& node : List(root_, "links")) {
            ExpectObject(node, {"id", "name", "display", "parent", "child", "table", "attributes"},
                         {"id", "name", "parent", "child", "table"});
            ClassInfo info;
            Claim(node, info);
            info.kind = ClassKind::Link;
            for (const char* end : {"parent", "child"}) {
                std::string endName = Name(node, end);
                auto found = std::find_if(model_.classes.begin(), model_.classes.end(), [&](const ClassInfo& c) {
                    return c.name == endName && c.kind == ClassKind::Object;
                });
                if (found == model_.classes.end()) node.At(end).Fail("\"" + endName + "\" is not a class of the model");
                (std::string(end) == "parent" ? info.parentId : info.childId) = found->id;
            }
            info.table = Name(node, "table");
            if (!IsIdentifier(info.table))
                node.At("table").Fail("a table name takes only letters, digits and underscores");
            AddSystemAttributes(info, kObjectSystem);
            AddSystemAttributes(info, kLinkSystem);
            IndexAttributes(info);
            OwnAttributes(node, info);
            Add(std::move(info), node);
        }
    }

    void ReadProcesses() {
        for (const auto& node : List(root_, "processes")) {
            ExpectObject(node, {"id", "name", "display", "steps"}, {"id", "name", "steps"});
            ClassInfo info;
            Claim(node, info);
            info.kind = ClassKind::Process;
            info.steps = Names(node, "steps");
            if (info.steps.empty()) node.At("steps").Fail("a process needs at least one step");
            info.table = "PLATFORM_PROCESSES";
            AddSystemAttributes(info, kObjectSystem);
            IndexAttributes(info);
            AddAttribute(info, AttributeInfo{"STEP", "Step", 2, false, false, true, 0, std::nullopt}, node);
            Add(std::move(info), node);
        }
    }

    void ReadLookups() {
        std::set<int> lookupIds;
        for (const auto& node : List(root_, "lookups")) {
            ExpectObject(node, {"id", "name", "entries"}, {"id", "name", "entries"});
            LookupInfo lookup;
            lookup.id = static_cast<int16_t>(Integer(node, "id", 1, std::numeric_limits<int16_t>::max()));
            lookup.name = Name(node, "name");
            if (!lookupIds.insert(lookup.id).second) node.At("id").Fail("the lookup id is used twice");
            for (const auto& other : model_.lookups)
                if (other.name == lookup.name) node.At("name").Fail("the lookup name is used twice");
            for (const auto& entry : node.At("entries").Items()) {
                ExpectObject(entry, {"code", "text"}, {"code", "text"});
                lookup.entries.emplace_back(
                    static_cast<int32_t>(Integer(entry, "code", std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max())),
                    Text(entry, "text"));
            }
            model_.lookups.push_back(std::move(lookup));
        }
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
                    item.node.At("lookup").Fail("\"" + item.lookup + "\" is not a lookup table of the model");
                attribute.lookupId = found->id;
            }
            if (item.reference) attribute.reference = Reference(*item.reference);
        }
        // Subclasses copied their super class's attributes before lookups and references were resolved.
        for (auto& info : model_.classes) {
            if (info.superId == info.id) continue;
            const ClassInfo* super = model_.ClassById(info.superId);
            for (const auto& inherited : super->attributes)
                info.attributes[info.attributeIndex.at(inherited.name)] = inherited;
        }
    }

    ReferenceInfo Reference(const JsonCursor& node) const {
        ExpectObject(node, {"class", "text", "display"}, {"class"});
        ReferenceInfo reference;
        reference.className = Name(node, "class");
        const ClassInfo* target = model_.ClassByName(reference.className);
        if (!target || target->kind != ClassKind::Object)
            node.At("class").Fail("\"" + reference.className + "\" is not a class of the model");
        reference.classId = target->id;
        reference.text = Text(node, "text");
        reference.display = Names(node, "display");
        for (size_t d = 0; d < reference.display.size(); ++d)
            if (!target->Attribute(reference.display[d]))
                node.At("display").Items()[d].Fail("\"" + reference.display[d] + "\" is not an attribute of \"" +
                                                   target->name + "\"");
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
            const JsonCursor named = classNodes_[i].At(info.kind == ClassKind::Link ? "table" : "name");
            if (!table) {
                if (info.table.rfind("PLATFORM_", 0) == 0 && info.kind != ClassKind::Process)
                    named.Fail("the table name \"" + info.table + "\" is reserved");
                model_.tables.push_back(TableInfo{info.table, info.kind, {}});
                table = &model_.tables.back();
            } else if (table->kind != info.kind) {
                named.Fail("the table \"" + info.table + "\" would hold objects and links together");
            } else if (info.kind == ClassKind::Object && info.superId == info.id) {
                named.Fail("the classes \"" + info.name + "\" and another class would share the table \"" + info.table +
                           "\"");
            }
            for (const auto& attribute : info.attributes) {
                auto column = std::find_if(table->columns.begin(), table->columns.end(),
                                           [&](const ColumnInfo& c) { return c.name == attribute.name; });
                if (column == table->columns.end())
                    table->columns.push_back({attribute.name, attribute.type});
                else if (column->type != attribute.type)
                    classNodes_[i].Fail("the attribute \"" + attribute.name + "\" has two types in the table \"" +
                                        table->name + "\"");
            }
        }
    }

    void CheckUsersClass() {
        const ClassInfo* users = model_.ClassByName("Users");
        if (!users || users->kind != ClassKind::Object || users->superId != users->id)
            root_.At("classes").Fail("the model must declare the class \"Users\" without a super class");
        if (!users->Attribute("LOGIN") || users->Attribute("LOGIN")->type != 1)
            root_.At("classes").Fail("the class \"Users\" must have the text attribute \"LOGIN\"");
        if (users->Attribute("IS_ADMINISTRATOR"))
            root_.At("classes").Fail("the attribute \"IS_ADMINISTRATOR\" of \"Users\" is reserved");
        model_.usersClassId = users->id;
    }

    void ReadSequences() {
        for (const auto& node : List(root_, "sequences")) {
            ExpectObject(node, {"name", "format", "next"}, {"name"});
            SequenceInfo sequence;
            sequence.name = Name(node, "name");
            for (const auto& other : model_.sequences)
                if (other.name == sequence.name) node.At("name").Fail("the sequence name is used twice");
            SequenceFormat(node, sequence);
            sequence.next = Integer(node, "next", 0, std::numeric_limits<int32_t>::max(), 1);
            model_.sequences.push_back(std::move(sequence));
        }
    }

    // A sequence's format: a prefix, one number written as %d or %0Nd, a suffix; %% is a percent sign.
    static void SequenceFormat(const JsonCursor& node, SequenceInfo& sequence) {
        const std::string format = Text(node, "format", "%d");
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
                node.At("format").Fail("the format takes one number written as %d or %0Nd");
            if (q > widthStart) sequence.width = std::stoi(format.substr(widthStart, q - widthStart));
            seen = true;
            part = &sequence.suffix;
            p = q;
        }
        if (!seen) node.At("format").Fail("the format takes one number written as %d or %0Nd");
    }

    void ReadUsers() {
        const ClassInfo* users = model_.ClassById(model_.usersClassId);
        for (const auto& node : List(root_, "users")) {
            ExpectObject(node, {"login", "admin", "values"}, {"login"});
            UserInfo user;
            user.login = Name(node, "login");
            for (const auto& other : model_.users)
                if (other.login == user.login) node.At("login").Fail("the login is used twice");
            user.admin = Flag(node, "admin");
            if (auto values = node.Find("values")) {
                for (const auto& [key, value] : values->Members()) {
                    const AttributeInfo* attribute = users->Attribute(key);
                    if (!attribute || attribute->system || key == "LOGIN")
                        value.Fail("\"" + key + "\" is not an attribute a user can be given");
                    user.values.emplace_back(key, Scalar(value, attribute->type));
                }
            }
            model_.users.push_back(std::move(user));
        }
    }

    const JsonCursor root_;
    Model model_;
    std::set<int> ids_;
    std::set<std::string> names_;
    std::vector<JsonCursor> classNodes_; // where each class of the model was declared
    std::vector<PendingAttribute> pending_;
};

} // namespace

std::shared_ptr<const Model> ParseModel(const std::string& jsonText, const std::string& source) {
    try {
        Json root = JsonCursor::Parse(jsonText, source);
        return ModelBuilder(root, source, jsonText).Build();
    } catch (const FileError& error) {
        throw EmbeddedError(error.file, error.jsonPath, error.message);
    }
}

std::shared_ptr<const Model> LoadModelFile(const std::string& path) {
    std::string text;
    try {
        text = ReadFileText(path);
    } catch (const FileError&) {
        throw EmbeddedError(path, "", "the model file cannot be read");
    }
    return ParseModel(text, path);
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
