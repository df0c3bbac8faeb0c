// HookCatalog: dispatch of a hook call by name onto Application, and the one description of each hook
// that the command's help, its transcripts and the documentation all show.
// SPDX-License-Identifier: Apache-2.0
#include "HookCatalog.h"

#include "HookTable.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <stdexcept>

namespace quendra::playback {

namespace {

const char* const Always = "always 1 for this hook; see the events";
const char* const Refused = "refused or failed: the platform stops the operation";
const char* const Done = "done: the operation goes on";

// What each text and object argument holds.
const std::map<std::string, std::string>& ArgumentMeanings() {
    static const std::map<std::string, std::string> meanings = {
        {"LinkAttributes", "the link attributes to set, e.g. 'CN_QUANTITY,CN_POSITION'"},
        {"SelectOp", "the operation asked for, e.g. 'Approve'"},
        {"Extensions", "file extensions, e.g. 'dwg,txt'"},
        {"FileTypes", "the file type of each extension, e.g. 'Drawing,Document'"},
        {"Obj", "the part that gets the children"},
        {"FromObj", "the part whose children are copied (empty: the user searches for it)"},
        {"MyNewPart", "receives the new part (give it empty)"},
    };
    return meanings;
}

} // namespace

const std::vector<HookInfo>& HookCatalog::All() {
    // What the command says of each hook, in the order of the component's hook table.
    struct Description {
        const char* rows;
        const char* purpose;
        const char* zero;
        const char* one;
        bool storedLinks = false;
    };
    static const Description descriptions[] = {
        // AddExistingPart
        {"row 0: the parent part",
         "links parts the user searches for below the parent, asking the link values in the link attribute editor", "",
         Always},
        // AddMainPart
        {"row 0: the parent part", "makes a new part in the new-object dialog and links it below the parent",
         "the part was made and linked", Refused},
        // AddNewPart
        {"row 0: the parent part",
         "makes a new part in the new-object dialog and links it below the parent with the link values asked", "",
         Always},
        // AfterCheckInDocuments
        {"the documents checked in",
         "links each document to the released part that carries its part number, and unlinks the others", Done,
         Refused},
        // BeforeAddPartsTreeLink
        {"row 0: the link about to be made, {\"class\", \"parent\", \"child\"}",
         "checks that the child may be linked below the parent", "the link may be made", "the link is refused"},
        // BeforeCheckOutReleaseDocs
        {"row 0: the document", "checks that the document may be checked out or approved", "it may go on", "refused"},
        // BeforeDeleteDocuments
        {"row 0: the document", "checks that the document may be deleted", "it may be deleted", "refused"},
        // BeforeNewReleaseObj
        {"row 0: the object", "checks that a new release of the object may start", "it may start", "refused"},
        // BeforeUpdate
        {"row 0: the object as the user changed it", "checks that the object's attributes may be updated",
         "it may be updated", "refused"},
        // CopyTreeFrom
        {"", "links every child of FromObj below Obj as well, with the values of the named link attributes",
         "the children were linked", Refused},
        // DeleteLink
        {"the links to delete", "deletes each link whose parent the user may change", "", Always, true},
        // LinkUpdate
        {"the links to update", "lets the user edit the links' values in the link attribute editor and stores them",
         "the values were stored", "refused or cancelled: nothing was stored", true},
        // LockObject
        {"the objects to lock", "sets the lock on each object that the user may change", "", Always},
        // ReplacePart
        {"the link whose child is replaced",
         "replaces the link's child by a part the user searches for, keeping the link values", "the part was replaced",
         Refused, true},
        // ReplacePartByNewPart
        {"the link whose child is replaced",
         "replaces the link's child by a new part made in the new-object dialog, keeping the link values",
         "the part was replaced; MyNewPart holds the new part", Refused, true},
        // UnLockObject
        {"the objects to unlock", "clears the lock on each object, and on the tree below it when the user says Yes", "",
         Always},
        // UploadDocument
        {"row 0: the object that gets the documents",
         "makes a document for each file the user picks, its file type taken from its extension or asked", Done,
         Refused},
        // IsLockedForUpdate
        {"row 0: the object to update", "checks whether somebody else holds the object's lock",
         "not locked: the update goes on", "locked by somebody else: the update is refused"},
    };
    static_assert(std::size(descriptions) == 18);
    static const std::vector<HookInfo> hooks = [] {
        std::vector<HookInfo> all;
        for (size_t i = 0; i < Hooks().size(); ++i) {
            const Hook& hook = Hooks()[i];
            const Description& description = descriptions[i];
            HookInfo info{std::string(hook.name),
                          false,
                          {},
                          {},
                          description.rows,
                          description.purpose,
                          description.zero,
                          description.one,
                          description.storedLinks};
            for (const HookParameter& parameter : hook.Parameters()) {
                if (parameter.kind == HookParameterKind::Rows)
                    info.takesRows = true;
                else
                    (parameter.kind == HookParameterKind::Text ? info.texts : info.objects)
                        .emplace_back(parameter.name);
            }
            all.push_back(std::move(info));
        }
        return all;
    }();
    return hooks;
}

const HookInfo* HookCatalog::Find(const std::string& name) {
    for (const auto& hook : All())
        if (hook.name == name) return &hook;
    return nullptr;
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string HookCatalog::Nearest(const std::string& name) {
    std::string nearest;
    size_t best = std::max<size_t>(3, name.size() / 3) + 1;
    for (const auto& hook : All()) {
        size_t distance = EditDistance(name, hook.name);
        if (distance < best) {
            best = distance;
            nearest = hook.name;
        }
    }
    return nearest;
}

std::string HookCatalog::ArgumentsLine(const HookInfo& hook) {
    std::string line = hook.takesRows ? "rows (" + hook.rows + ")" : "";
    for (const auto& name : hook.texts) line += (line.empty() ? "text " : ", text ") + name;
    for (const auto& name : hook.objects) line += (line.empty() ? "object " : ", object ") + name;
    return line;
}

std::string HookCatalog::ResultNote(const HookInfo& hook, int16_t result) {
    return result == 0 ? hook.zero : hook.one;
}

std::string HookCatalog::Table() {
    std::string text = "The eighteen hooks: the arguments each takes besides the session, what it does, and what\n"
                       "its result means. `quendra hook NAME --help` shows one hook with its options.\n";
    for (const auto& hook : All()) {
        text += "\n" + hook.name + "\n";
        text += "    arguments: " + ArgumentsLine(hook) + "\n";
        text += "    " + hook.purpose + "\n";
        text += hook.zero.empty() ? "    result: " + hook.one + "\n"
                                  : "    result 0: " + hook.zero + "; 1: " + hook.one + "\n";
    }
    return text;
}

std::string HookCatalog::Page(const HookInfo& hook) {
    std::string text = hook.name + ": " + hook.purpose + ".\n\nArguments:\n";
    if (hook.takesRows) text += "  --row             " + hook.rows + "\n";
    auto flag = [](const std::string& name) {
        std::string flag = "--";
        for (char c : name) {
            if (std::isupper(static_cast<unsigned char>(c)) && flag.size() > 2) flag += '-';
            flag += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return flag;
    };
    for (const auto& names : {hook.texts, hook.objects})
        for (const auto& name : names) {
            auto option = flag(name);
            text += "  " + option + std::string(option.size() < 18 ? 18 - option.size() : 1, ' ') +
                    ArgumentMeanings().at(name) + " (" + name + ")\n";
        }
    text += "\nResult:\n";
    if (hook.zero.empty())
        text += "  " + hook.one + "\n";
    else
        text += "  0  " + hook.zero + "\n  1  " + hook.one + "\n";
    return text;
}

int16_t HookCatalog::Call(Application& application, const std::string& name, Ptr<CvSession> session,
                          HookArguments& arguments) {
    const Hook* hook = FindHook(name);
    if (!hook) throw std::invalid_argument("unknown hook " + name);
    HookValues values;
    values.rows = arguments.rows;
    size_t texts = 0, objects = 0;
    for (const HookParameter& parameter : hook->Parameters()) {
        const std::string parameterName(parameter.name);
        if (parameter.kind == HookParameterKind::Text)
            values.texts[texts++] = arguments.texts[parameterName];
        else if (parameter.kind != HookParameterKind::Rows)
            values.objects[objects++] = arguments.objects[parameterName];
    }
    const int16_t result = hook->call(application, session, values);
    // The in/out objects come back as the hook left them.
    objects = 0;
    for (const HookParameter& parameter : hook->Parameters()) {
        if (parameter.kind == HookParameterKind::Object || parameter.kind == HookParameterKind::InOutObject) {
            if (parameter.kind == HookParameterKind::InOutObject)
                arguments.objects[std::string(parameter.name)] = values.objects[objects];
            ++objects;
        }
    }
    return result;
}

} // namespace quendra::playback
