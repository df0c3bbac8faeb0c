// HookCatalog: the eighteen hooks by name, the arguments each takes, and calling one by name.
#pragma once

#include "Application.h"
#include "CvPlatform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quendra::host {

struct HookInfo {
    std::string name;
    bool takesRows = true;
    std::vector<std::string> texts;   // LinkAttributes, SelectOp, Extensions, FileTypes
    std::vector<std::string> objects; // Obj, FromObj, MyNewPart
};

// What a host passes to a hook; MyNewPart and FromObj come back as the hook left them.
struct HookArguments {
    Ptr<CvRecList> rows;
    std::map<std::string, std::string> texts;
    std::map<std::string, Ptr<CvObject>> objects;
};

class HookCatalog {
public:
    static const std::vector<HookInfo>& All();
    // The hook of that name, or nullptr.
    static const HookInfo* Find(const std::string& name);
    static std::string Names(); // "AddExistingPart, AddMainPart, ..."
    // Calls the hook; a failure that reaches the host passes on.
    static int16_t Call(Application& application, const std::string& name, Ptr<CvSession> session,
                        HookArguments& arguments);
};

} // namespace quendra::host
