// HookThroughCom: the hook's arguments as automation values, in the order of the method table.
// SPDX-License-Identifier: Apache-2.0
#include "HookThroughCom.h"

#include "ComHookCall.h"

#include <string>
#include <utility>
#include <vector>

namespace quendra::host {

int16_t CallHookByCom(const playback::HookInfo& hook, const Ptr<CvSession>& session, playback::HookArguments& arguments,
                      ui::WindowSystem& windows) {
    std::vector<com::HookArgument> list{session};
    std::vector<std::pair<size_t, std::string>> objects;
    auto addObject = [&](const std::string& name) {
        objects.emplace_back(list.size(), name);
        list.emplace_back(arguments.objects[name]);
    };
    if (hook.takesRows) list.emplace_back(arguments.rows);
    for (const auto& name : hook.objects)
        if (name != "MyNewPart") addObject(name);
    for (const auto& name : hook.texts) list.emplace_back(arguments.texts[name]);
    for (const auto& name : hook.objects)
        if (name == "MyNewPart") addObject(name);
    int16_t result = com::CallHookThroughCom(hook.name, list, windows);
    for (const auto& [position, name] : objects) arguments.objects[name] = std::get<Ptr<CvObject>>(list[position]);
    return result;
}

} // namespace quendra::host
