// TreeCommand: walks the tree with its own stack (trees may be very deep) and stops at cycles.
#include "TreeCommand.h"

#include "CommandError.h"
#include "DatabaseFile.h"

#include "ScriptedUser.h"

#include <map>
#include <set>
#include <vector>

namespace quendra::host {

namespace {

const std::set<std::string> LinkEnds = {"CLASS_ID",  "OBJECT_ID",  "CLASS_ID1",     "OBJECT_ID1",
                                        "CLASS_ID2", "OBJECT_ID2", "PAR_OBJECT_ID", "SON_OBJECT_ID"};

std::string LinkValues(CvObject& link) {
    auto definitions = link.AttributeDefs();
    auto data = link.Data();
    std::string text;
    for (int32_t i = 0; i < definitions->Count(); ++i) {
        auto definition = definitions->Item(i);
        if (LinkEnds.contains(definition->Name())) continue;
        auto value = data->GetValue(definition->Name());
        if (value.IsNull()) continue;
        text += (text.empty() ? "" : ", ") + definition->DisplayName() + "=" + value.AsText();
    }
    return text.empty() ? "" : " (" + text + ")";
}

std::string LockText(CvObject& object, const std::map<int32_t, std::string>& logins) {
    if (!object.Class()->HasAttribute("CN_LOCKED")) return "";
    auto data = object.Data();
    if (!data->ValueAsBool("CN_LOCKED")) return "";
    auto holder = logins.find(data->ValueAsInt32("USER_OBJECT_ID"));
    return " locked by " + (holder == logins.end() ? std::string("an unknown user") : holder->second);
}

} // namespace

CLI::App* TreeCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("tree", "Print the parts tree below a part");
    command->add_option("DB", database_, "The database file")->required();
    command->add_option("PART_NUMBER", partNumber_, "The part number (CN_PART_NUMBER) of the top part")->required();
    return command;
}

int TreeCommand::Run(std::ostream& out) {
    // Printing the tree only reads: the file stays as it is, and may be one that cannot be written.
    auto database = DatabaseFile::Open(database_, embedded::OpenMode::ReadOnly);
    auto users = DatabaseFile::Users(database_);
    if (users.empty()) throw CommandError(database_ + " has no users to read it with");
    std::map<int32_t, std::string> logins(users.begin(), users.end());
    auto tops = database->FindObjects("Parts", "CN_PART_NUMBER", partNumber_);
    if (tops.empty()) throw CommandError("no part numbered \"" + partNumber_ + "\" in " + database_);

    scripted::ScriptedUser nobody;
    auto session = database->Login(users.front().second, nobody);
    auto store = session->ObjectStore();
    struct Entry {
        Ptr<CvObject> object;
        size_t depth;
        std::string link;
    };
    for (const auto& top : tops) {
        std::vector<Entry> stack{{store->ObjectById(top.classId, top.objectId), 0, ""}};
        std::vector<std::pair<int16_t, int32_t>> path;
        std::set<std::pair<int16_t, int32_t>> onPath;
        while (!stack.empty()) {
            auto entry = std::move(stack.back());
            stack.pop_back();
            while (path.size() > entry.depth) {
                onPath.erase(path.back());
                path.pop_back();
            }
            auto& object = *entry.object;
            std::pair<int16_t, int32_t> key{object.ClassId(), object.ObjectId()};
            std::string line(entry.depth * 2, ' ');
            line += object.Class()->Name() + " " + object.DisplayText(" - ") + entry.link + LockText(object, logins);
            if (onPath.contains(key)) {
                out << line << " (already above: the tree has a cycle here)\n";
                continue;
            }
            out << line << '\n';
            path.push_back(key);
            onPath.insert(key);
            auto links = object.TreeLinks(nullptr);
            std::vector<Entry> children;
            for (int32_t i = 0; i < links->Count(); ++i) {
                auto treeLink = links->Item(i)->WorkingEntry();
                auto child = treeLink->Element(0)->WorkingObject();
                auto link = treeLink->Element(1)->WorkingObject();
                child->Retrieve();
                link->Retrieve();
                children.push_back({child, entry.depth + 1, LinkValues(*link)});
            }
            for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(std::move(*it));
        }
    }
    return 0;
}

} // namespace quendra::host
