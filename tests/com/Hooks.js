// Quendra.Application as a platform script uses it: created by its programmatic identifier and
// called with platform objects. The platform objects are JScript objects (every JScript object
// is an automation object) that keep what the component asked of them.
// Prints each failed check and "N passed, N failed"; exits 1 when a check failed. (Wine's cscript
// answers 0 after a script error, so the caller also requires the closing line.)
// SPDX-License-Identifier: Apache-2.0
var passed = 0, failed = 0;
function check(condition, what) {
    if (condition) passed++;
    else { failed++; WScript.Echo("FAILED: " + what); }
}
// JScript knows no Array.indexOf.
function contains(list, item) {
    for (var i = 0; i < list.length; i++) if (list[i] === item) return true;
    return false;
}
function same(actual, expected, what) {
    check(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}

// A platform holding one part; `values` are its stored attribute values.
function Platform(values, columns, currentUserId, logins) {
    var self = this;
    self.calls = [];
    self.sql = [];
    var data = {
        Header: function () { return { ContainsColumn: function (name) { return contains(columns, name); } }; },
        ValueAsBool: function (name) { self.calls.push("ValueAsBool " + name); return values[name]; },
        ValueAsInt32: function (name) { self.calls.push("ValueAsInt32 " + name); return values[name]; }
    };
    var part = {
        Data: function () { return data; },
        AddAttributesToRetrieve: function (names) { self.calls.push("AddAttributesToRetrieve " + names); },
        Retrieve: function () { self.calls.push("Retrieve"); },
        Class: function () { return { Name: function () { return "Part"; } }; },
        DisplayText: function (separator) { return "P-100" + separator + "A"; }
    };
    var store = {
        ObjectFromRecord: function (record, flag) { self.calls.push("ObjectFromRecord " + flag); return part; },
        NewSqlQuery: function () {
            var text = "";
            return {
                SetSqlText: function (sql) { text = sql; self.sql.push(sql); },
                Run: function () {},
                Result: function () {
                    var found = logins[text];
                    return {
                        RowCount: function () { return found === undefined ? 0 : 1; },
                        ValueAt: function (column, row) { return found; }
                    };
                }
            };
        }
    };
    self.session = {
        ObjectStore: function () { return store; },
        CurrentUser: function () { return { UserObjectId: function () { return currentUserId; } }; }
    };
    self.recList = { RecordAt: function (row) { self.calls.push("RecordAt " + row); return {}; } };
}

var app = new ActiveXObject("Quendra.Application");
var loginQuery = "select LOGIN from USERS where OBJECT_ID = '12'";

function scriptError(call) {
    try {
        call();
    } catch (e) {
        return e.description;
    }
    return "no error";
}

// Run with the argument "answered" and QUENDRA_ANSWERS naming Answers.json: the scripted user
// answers the windows in order, across calls, and a window the answers do not fit fails the call.
if (WScript.Arguments.length > 0 && WScript.Arguments(0) === "answered") {
    var lockedText = "Part P-100-A has been locked by 'ANNA'\r\rYou cannot update any atrribute in this situation";
    var free = new Platform({ CN_LOCKED: false, USER_OBJECT_ID: 0 }, ["CN_LOCKED", "USER_OBJECT_ID"], 7, {});
    same(app.IsLockedForUpdate(free.session, free.recList), 0, "a call without a window takes no answer");
    var logins = {};
    logins[loginQuery] = "ANNA";
    var held = new Platform({ CN_LOCKED: true, USER_OBJECT_ID: 12 }, ["CN_LOCKED", "USER_OBJECT_ID"], 7, logins);
    same(app.IsLockedForUpdate(held.session, held.recList), 1, "the message box answered {\"button\": \"OK\"}");
    same(scriptError(function () { app.IsLockedForUpdate(held.session, held.recList); }),
         "the scripted user: the answer {\"button\":\"Yes\"} does not fit the message box \"" + lockedText + "\"",
         "an answer that does not fit");
    same(scriptError(function () { app.IsLockedForUpdate(held.session, held.recList); }),
         "the scripted user: the message box \"" + lockedText + "\" appeared with no answer left",
         "no answer left");
    WScript.Echo(passed + " passed, " + failed + " failed");
    WScript.Quit(failed === 0 ? 0 : 1);
}

// IsLockedForUpdate: 1 refuses the update, 0 lets it go on.
var cases = [
    { what: "not locked", values: { CN_LOCKED: false, USER_OBJECT_ID: 0 }, user: 7, expected: 0, sql: 0 },
    { what: "locked by the current user", values: { CN_LOCKED: true, USER_OBJECT_ID: 7 }, user: 7, expected: 0, sql: 0 },
    { what: "locked by another user", values: { CN_LOCKED: true, USER_OBJECT_ID: 12 }, user: 7, expected: 1, sql: 1 }
];
for (var i = 0; i < cases.length; i++) {
    var c = cases[i];
    var platform = new Platform(c.values, ["CN_LOCKED", "USER_OBJECT_ID"], c.user, {});
    same(app.IsLockedForUpdate(platform.session, platform.recList), c.expected, "IsLockedForUpdate, " + c.what);
    same(platform.sql.length, c.sql, "the holder's login is looked up only when another user holds the lock");
}

// Texts, 32-bit integers and Booleans cross both ways: the attributes missing from the record are
// retrieved by their joined names, and the holder's login is asked for with the id in the SQL text.
var missing = new Platform({ CN_LOCKED: true, USER_OBJECT_ID: 12 }, [], 7, {});
same(app.IsLockedForUpdate(missing.session, missing.recList), 1, "IsLockedForUpdate reads what it retrieved");
same(missing.calls.join(" | "),
     "RecordAt 0 | ObjectFromRecord true | AddAttributesToRetrieve USER_OBJECT_ID;CN_LOCKED | Retrieve | " +
     "ValueAsBool CN_LOCKED | ValueAsInt32 USER_OBJECT_ID",
     "the platform calls of IsLockedForUpdate");
same(missing.sql.join(""), loginQuery, "the SQL text of the login look-up");

// A failure the hook does not catch reaches the script as an error with the failure's text.
var noRecords = new Platform({}, [], 7, {});
var error = null;
try {
    app.IsLockedForUpdate(noRecords.session, null);
} catch (e) {
    error = e;
}
check(error !== null, "IsLockedForUpdate without a record list fails in the script");
if (error !== null) {
    same(error.description, "the hook argument RecListIn is empty", "the script error's description");
    same(error.number, -2147220992, "the script error's number (0x80040200)");
}

// A platform failure inside a hook that does not catch it arrives as a script error too...
var broken = new Platform({}, [], 7, {});
broken.session.ObjectStore = function () { throw new Error("the store is closed"); };
error = null;
try {
    app.IsLockedForUpdate(broken.session, broken.recList);
} catch (e) {
    error = e;
}
check(error !== null && /^CvSession: ObjectStore/.test(error.description),
      "a platform failure names the operation that failed: " + (error && error.description));
// ...while a hook that catches answers 1.
same(app.LockObject(broken.session, broken.recList), 1, "LockObject answers 1 after a platform failure");
same(app.AddMainPart(broken.session, broken.recList), 1, "AddMainPart answers 1 after a platform failure");

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed === 0 ? 0 : 1);
