// Who the server says the user is: the authenticated role, its login and whether it is an administrator's.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresConnection.h"

namespace quendra::embedded {

std::optional<ServerUser> PostgresConnection::AuthenticatedUser() {
    if (authenticated_) return authenticated_;
    ServerUser user;
    {
        // A superuser, or a member of the administrators' role, is an administrator.
        Statement role = Prepare(std::string("SELECT r.rolname, r.rolsuper OR EXISTS (SELECT 1 FROM pg_roles a WHERE "
                                             "a.rolname = '") +
                                 kAdministratorRole +
                                 "' AND pg_has_role(r.oid, a.oid, 'MEMBER')), "
                                 "to_regclass('platform_role_logins') IS NOT NULL "
                                 "FROM pg_roles r WHERE r.rolname = current_user");
        if (!role.Step()) throw CvError("the server does not know the role of this connection");
        user.role = role.Text(0);
        user.login = user.role;
        user.admin = role.Int(1) != 0;
        if (!role.Int(2)) return authenticated_ = user;
    }
    Statement mapped = Prepare("SELECT login FROM platform_role_logins WHERE role_name = ?");
    mapped.BindText(1, user.role);
    if (mapped.Step()) user.login = mapped.Text(0);
    return authenticated_ = user;
}

} // namespace quendra::embedded
