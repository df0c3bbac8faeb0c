// Quendra.Application called with the embedded platform's own objects, made by Quendra.Platform
// over automation on the sample product (quendra init --sample): each of the eighteen hooks, what
// it answers, what it stored, and a failure that no hook catches arriving as a script error. The
// component's windows are answered from PlatformAnswers.json (QUENDRA_ANSWERS), in order across
// the calls; the platform's own dialogs by Quendra.Platform's Answer.
// Usage: cscript Platform.js <database file>. Prints each failed check and "N passed, N failed".
// SPDX-License-Identifier: Apache-2.0
var passed = 0, failed = 0;
function check(condition, what) {
    if (condition) passed++;
    else { failed++; WScript.Echo("FAILED: " + what); }
}
function same(actual, expected, what) {
    check(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}

var platform = new ActiveXObject("Quendra.Platform");
platform.Open(WScript.Arguments(0));
var session = platform.LogIn("carl");
var app = new ActiveXObject("Quendra.Application");

function rows(refs) { return platform.RecList(refs); }
function links(refs) { return platform.RecList(refs, true); }
function value(ref, attribute) { return platform.Object(ref).Data().GetValue(attribute); }
function exists(ref) {
    try { platform.Object(ref); return true; } catch (e) { return false; }
}
var carlId = session.CurrentUser().UserObjectId();
var housing = "Part(CN_PART_NUMBER=P-100030)";

// Each hook in turn: the call, its result, and what it stored. Parts by their numbers: P-100000 the
// gear box, P-100010 the input assembly, P-100011 its shaft, P-100020 the output assembly,
// P-100021 its shaft (locked by dora), P-100030 the housing, P-100031 the cover.
var calls = [
    ["LockObject", 1, function () { return app.LockObject(session, rows(housing)); }, function () {
        same(value(housing, "CN_LOCKED"), true, "the housing is locked");
        same(value(housing, "USER_OBJECT_ID"), carlId, "by carl");
    }],
    ["IsLockedForUpdate", 1, function () { return app.IsLockedForUpdate(session, rows("Part(CN_PART_NUMBER=P-100021)")); }],
    ["BeforeUpdate", 1, function () { return app.BeforeUpdate(session, rows("Part(CN_PART_NUMBER=P-100021)"), "UPDATE"); }],
    ["UnLockObject", 1, function () { return app.UnLockObject(session, rows(housing)); }, function () {
        same(value(housing, "CN_LOCKED"), false, "the housing is unlocked");
    }],
    ["BeforeNewReleaseObj", 1, function () { return app.BeforeNewReleaseObj(session, rows("Part(CN_PART_NUMBER=P-100012)")); }],
    ["BeforeAddPartsTreeLink", 0, function () {
        return app.BeforeAddPartsTreeLink(session, rows('[{"class": "Parts Tree", "parent": "Assembly(CN_PART_NUMBER=P-100000)", "child": "Part(CN_PART_NUMBER=P-100012)"}]'));
    }],
    ["LinkUpdate", 0, function () { return app.LinkUpdate(session, links("Parts Tree(parent=P-100000,child=P-100030)"), "CN_QUANTITY,CN_POSITION"); }, function () {
        check(value("Parts Tree(parent=P-100000,child=P-100030)", "CN_QUANTITY") == 3, "the housing's quantity is 3");
    }],
    ["DeleteLink", 1, function () { return app.DeleteLink(session, links("Parts Tree(parent=P-100000,child=P-100031)")); }, function () {
        check(!exists("Parts Tree(parent=P-100000,child=P-100031)"), "the cover's link is deleted");
    }],
    ["AfterCheckInDocuments", 0, function () { return app.AfterCheckInDocuments(session, rows("Document(CN_PART_NUMBER=P-100030)")); }],
    ["BeforeCheckOutReleaseDocs", 0, function () { return app.BeforeCheckOutReleaseDocs(session, rows("Drawing(CN_PART_NUMBER=P-100000)"), "Approve"); }],
    ["BeforeDeleteDocuments", 1, function () { return app.BeforeDeleteDocuments(session, rows("Drawing(CN_PART_NUMBER=P-100000)")); }, function () {
        check(exists("Drawing(CN_PART_NUMBER=P-100000)"), "the drawing stays");
    }],
    ["CopyTreeFrom", 0, function () {
        platform.Answer('[{"search": ["Assembly(CN_PART_NUMBER=P-100010)"]}]');
        return app.CopyTreeFrom(session, platform.Object("Assembly(CN_PART_NUMBER=P-100020)"), null, "CN_QUANTITY,CN_POSITION");
    }, function () {
        check(exists("Parts Tree(parent=P-100020,child=P-100011)"), "the input assembly's tree is copied");
    }],
    ["ReplacePart", 0, function () {
        platform.Answer('[{"search": ["Part(CN_PART_NUMBER=P-100031)"]}]');
        return app.ReplacePart(session, links("Parts Tree(parent=P-100010,child=P-100011)"), "CN_QUANTITY,CN_POSITION");
    }, function () {
        check(exists("Parts Tree(parent=P-100010,child=P-100031)") && !exists("Parts Tree(parent=P-100010,child=P-100011)"),
              "the cover replaces the input shaft");
    }],
    ["ReplacePartByNewPart", 0, function () {
        platform.Answer('[{"fill": {"CN_DESCRIPTION": "Hollow shaft"}, "button": "OK"}]');
        return app.ReplacePartByNewPart(session, links("Parts Tree(parent=P-100020,child=P-100021)"), "CN_QUANTITY,CN_POSITION", null);
    }, function () {
        same(platform.Object("Part(CN_DESCRIPTION=Hollow shaft)").DisplayText("-"), "P-000001-Hollow shaft", "the new part");
    }],
    ["AddExistingPart", 1, function () {
        platform.Answer('[{"search": ["Part(CN_PART_NUMBER=P-100011)"]}]');
        return app.AddExistingPart(session, rows("Assembly(CN_PART_NUMBER=P-100000)"), "CN_QUANTITY");
    }, function () {
        check(value("Parts Tree(parent=P-100000,child=P-100011)", "CN_QUANTITY") == 2, "the input shaft is added twice");
    }],
    ["AddMainPart", 0, function () {
        platform.Answer('[{"fill": {"CN_DESCRIPTION": "Oil plug"}, "button": "OK"}]');
        return app.AddMainPart(session, rows("Assembly(CN_PART_NUMBER=P-100000)"));
    }, function () {
        check(exists("Parts Tree(parent=P-100000,child=P-000002)"), "the oil plug is made and linked");
    }],
    ["AddNewPart", 1, function () {
        platform.Answer('[{"fill": {"CN_DESCRIPTION": "Shaft seal"}, "button": "OK"}]');
        return app.AddNewPart(session, rows("Assembly(CN_PART_NUMBER=P-100010)"), "CN_QUANTITY");
    }, function () {
        check(value("Parts Tree(parent=P-100010,child=P-000003)", "CN_QUANTITY") == 5, "the shaft seal is added five times");
    }],
    ["UploadDocument", 0, function () {
        platform.Answer('[{"fill": {"CN_PART_NUMBER": "P-100030", "CN_DESCRIPTION": "Notes"}, "button": "OK"}]');
        return app.UploadDocument(session, rows("Project(PROJECT_NUMBER=PR-7)"), "json", "Document");
    }, function () {
        same(value("Document(FILE_NAME=PlatformAnswers.json)", "CN_DESCRIPTION"), "Notes", "the uploaded document");
    }]
];
for (var i = 0; i < calls.length; i++) {
    var name = calls[i][0];
    try {
        same(calls[i][2](), calls[i][1], name);
        same(platform.Failure(), "", name + ": the platform's dialogs took their answers");
        if (calls[i][3]) calls[i][3]();
    } catch (e) {
        check(false, name + " failed: " + e.description);
    }
}

// A failure that the hook does not catch reaches the script as an error with the platform's text.
var error = null;
try {
    app.IsLockedForUpdate(session, platform.RecList("[]"));
} catch (e) {
    error = e;
}
check(error !== null, "IsLockedForUpdate on an empty record list fails in the script");
if (error !== null) {
    same(error.description, "the record list has no row 0", "the script error's description");
    same(error.number, -2147220992, "the script error's number (0x80040200)");
}

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed === 0 ? 0 : 1);
