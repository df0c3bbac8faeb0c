// SessionContext: what every platform object of one session shares (storage, user, dialogs).
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "PlatformDialogs.h"
#include "Storage.h"

#include <memory>
#include <string>

namespace quendra::embedded {

class ClassViews;

struct SessionContext {
    std::shared_ptr<Storage> storage;
    std::shared_ptr<ClassViews> classes; // the session's class objects
    int32_t userId = 0;
    bool admin = false;
    std::string login;
    PlatformDialogs* dialogs = nullptr;
};

using Context = std::shared_ptr<SessionContext>;

} // namespace quendra::embedded
