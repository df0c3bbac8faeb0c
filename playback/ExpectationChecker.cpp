// ExpectationChecker: every expectation key of a step, each reported on its own line.
// SPDX-License-Identifier: Apache-2.0
#include "ExpectationChecker.h"

#include "Descriptions.h"

#include <array>
#include <type_traits>
#include <variant>

namespace quendra::playback {

namespace {

// A window's kind, by the place of its struct in the record.
std::string KindWord(size_t kind) {
    constexpr std::array<const char*, 4> words = {"a message box", "a window", "the open-file dialog",
                                                  "a platform dialog"};
    static_assert(words.size() == std::variant_size_v<decltype(answering::WindowRecord::what)>);
    return words.at(kind);
}

// Texts found are compared as a scenario file can hold them (see JsonHeldText), so that a recording of a text
// that is not UTF-8 replays.
void Compare(const char* what, const std::optional<std::string>& expected, const std::string& found,
             std::string& differences) {
    if (expected && *expected != JsonHeldText(found))
        differences += std::string(differences.empty() ? "" : "; ") + what + " expected " + JsonText(*expected) +
                       ", found " + JsonText(found);
}

} // namespace

std::string ValueText(const Value& value) {
    if (value.IsNull()) return "null";
    if (value.GetKind() == Value::Kind::Text) return JsonText(value.AsText());
    return value.AsText();
}

bool SameValue(const Value& expected, const Value& found) {
    if (expected.IsNull() || found.IsNull()) return expected.IsNull() && found.IsNull();
    return expected.AsText() == JsonHeldText(found.AsText());
}

std::string DialogDifference(const DialogExpect& expect, const answering::WindowRecord& window) {
    if (expect.kind.index() != window.what.index())
        return "expected " + KindWord(expect.kind.index()) + ", found " + KindWord(window.what.index());
    namespace records = answering::records;
    std::string differences;
    if (const auto* box = std::get_if<records::MessageBox>(&window.what)) {
        Compare("text", expect.text, box->text, differences);
        Compare("title", expect.title, box->title, differences);
        Compare("icon", expect.icon, Descriptions::IconName(box->icon), differences);
        Compare("buttons", expect.buttons, Descriptions::ButtonsName(box->buttons), differences);
    } else if (const auto* shown = std::get_if<records::Window>(&window.what)) {
        Compare("caption", expect.title, shown->title, differences);
        Compare("text", expect.text, shown->text, differences);
        auto rows = shown->rows;
        for (auto& row : rows) row = {JsonHeldText(row.first), JsonHeldText(row.second)};
        auto choices = shown->choices;
        for (auto& choice : choices) choice = JsonHeldText(choice);
        if (expect.rows && *expect.rows != rows) {
            Json expected = Json::array(), found = Json::array();
            for (const auto& [name, value] : *expect.rows) expected.push_back(Json::array({name, value}));
            for (const auto& [name, value] : shown->rows) found.push_back(Json::array({name, value}));
            differences += std::string(differences.empty() ? "" : "; ") + "rows expected " + JsonText(expected) +
                           ", found " + JsonText(found);
        }
        if (expect.choices && *expect.choices != choices)
            differences += std::string(differences.empty() ? "" : "; ") + "choices expected " +
                           JsonText(Json(*expect.choices)) + ", found " + JsonText(Json(shown->choices));
    } else if (const auto* open = std::get_if<records::OpenFile>(&window.what)) {
        Compare("filter", expect.filter, open->filter, differences);
    } else if (const auto* platform = std::get_if<records::Platform>(&window.what)) {
        Compare("platform dialog", expect.platform, Descriptions::DialogName(platform->dialog), differences);
        Compare("class", expect.className, platform->className, differences);
    }
    return differences;
}

std::vector<std::string> ExpectationChecker::Check(const Expectations& expect, const StepOutcome& outcome) const {
    std::vector<std::string> failures;
    if (outcome.scriptedFailure) failures.push_back(*outcome.scriptedFailure);
    if (!outcome.answersLeft.empty()) {
        std::string left;
        for (const auto& answer : outcome.answersLeft) left += (left.empty() ? "" : ", ") + answer;
        failures.push_back(std::to_string(outcome.answersLeft.size()) +
                           " answer(s) left over, no window used them: " + left);
    }
    if (expect.result) CheckResult(*expect.result, outcome, failures);
    CheckDialogs(expect, outcome, failures);
    for (const auto& values : expect.values) CheckValues(values, failures);
    for (const auto& links : expect.links) CheckLinks(links, failures);
    for (const auto& objects : expect.objects) {
        auto found = world_.Database().CountObjects(objects.className);
        if (found != objects.count)
            failures.push_back("objects " + objects.className + ": expected " + std::to_string(objects.count) +
                               ", found " + std::to_string(found));
    }
    for (const auto& fault : outcome.unfiredFaults) failures.push_back("the fault " + fault + " never fired");
    CheckEvents(expect, outcome, failures);
    CheckSequence(expect, outcome, failures);
    for (const auto& [name, arg] : expect.objectArgs) {
        auto found = outcome.objectArgs.find(name);
        Ptr<CvObject> object = found == outcome.objectArgs.end() ? nullptr : found->second;
        std::string foundText = "empty";
        embedded::ObjectKey foundKey;
        if (object) {
            try {
                foundKey = {object->ClassId(), object->ObjectId()};
                foundText = world_.Name(foundKey);
            } catch (const std::exception& error) {
                foundText = std::string("an object that cannot be read (") + error.what() + ")";
            }
        }
        if (!arg.ref) {
            if (object) failures.push_back(name + ": expected empty, found " + foundText);
            continue;
        }
        std::string why;
        auto target = world_.TryResolve(*arg.ref, why);
        if (!target) {
            failures.push_back(name + ": expected " + *arg.ref + ", but " + why);
        } else if (!object || !(foundKey == target->key)) {
            failures.push_back(name + ": expected " + *arg.ref + ", found " + foundText);
        }
    }
    return failures;
}

void ExpectationChecker::CheckResult(const ResultExpect& expect, const StepOutcome& outcome,
                                     std::vector<std::string>& failures) const {
    std::string found = outcome.error ? "error (" + *outcome.error + ")" : std::to_string(*outcome.result);
    if (std::holds_alternative<std::string>(expect.value)) {
        if (!outcome.error) failures.push_back("result: expected error, found " + found);
    } else if (outcome.error || *outcome.result != std::get<int64_t>(expect.value)) {
        failures.push_back("result: expected " + std::to_string(std::get<int64_t>(expect.value)) + ", found " + found);
    }
}

void ExpectationChecker::CheckDialogs(const Expectations& expect, const StepOutcome& outcome,
                                      std::vector<std::string>& failures) const {
    if (!expect.dialogs) return;
    const auto& expected = *expect.dialogs;
    const auto& windows = outcome.windows;
    for (size_t i = 0; i < expected.size() && i < windows.size(); ++i) {
        auto difference = DialogDifference(expected[i], windows[i]);
        if (!difference.empty())
            failures.push_back("dialogs/" + std::to_string(i) + ": " + difference +
                               " (shown: " + Descriptions::WindowLine(windows[i]) + ")");
    }
    if (expected.size() != windows.size()) {
        std::string line = "dialogs: expected " + std::to_string(expected.size()) + " window(s), found " +
                           std::to_string(windows.size());
        if (windows.size() > expected.size())
            line += "; first one not expected: " + Descriptions::WindowLine(windows[expected.size()]);
        else
            line += "; first one missing: " + JsonText(expected[windows.size()].written);
        failures.push_back(line);
    }
}

void ExpectationChecker::CheckValues(const ValuesExpect& expect, std::vector<std::string>& failures) const {
    std::string why;
    auto target = world_.TryResolve(expect.ref, why);
    if (!target) {
        failures.push_back("values " + expect.ref + ": " + why);
        return;
    }
    auto className = world_.Database().ClassName(target->key.classId);
    for (const auto& [attribute, written] : expect.values) {
        Value expected = world_.Convert(className, attribute, written);
        Value found;
        try {
            found = world_.Database().ReadValue(target->key, attribute);
        } catch (const std::exception& error) {
            failures.push_back("values " + expect.ref + " " + attribute + ": expected " + ValueText(expected) +
                               ", but it cannot be read: " + error.what());
            continue;
        }
        if (!SameValue(expected, found))
            failures.push_back("values " + expect.ref + " " + attribute + ": expected " + ValueText(expected) +
                               ", found " + ValueText(found));
    }
}

void ExpectationChecker::CheckLinks(const LinksExpect& expect, std::vector<std::string>& failures) const {
    std::string what = "links " + expect.className + " " + expect.parent + " -> " + expect.child;
    std::string why;
    auto parent = world_.TryResolve(expect.parent, why);
    auto child = parent ? world_.TryResolve(expect.child, why) : std::nullopt;
    if (!parent || !child) {
        if (expect.count && *expect.count == 0) return; // an end that does not exist joins nothing
        failures.push_back(what + ": " + why);
        return;
    }
    auto links = world_.Database().FindLinks(expect.className, parent->key, child->key);
    if (expect.count ? static_cast<int64_t>(links.size()) != *expect.count : links.empty()) {
        failures.push_back(what + ": expected " + (expect.count ? std::to_string(*expect.count) : "at least 1") +
                           ", found " + std::to_string(links.size()));
        return;
    }
    for (const auto& link : links) {
        for (const auto& [attribute, written] : expect.values) {
            Value expected = world_.Convert(expect.className, attribute, written);
            Value found = world_.Database().ReadValue(link, attribute);
            if (!SameValue(expected, found))
                failures.push_back(what + " (" + world_.Name(link) + ") " + attribute + ": expected " +
                                   ValueText(expected) + ", found " + ValueText(found));
        }
    }
}

bool ExpectationChecker::EventMatches(const EventExpect& expect, const embedded::Event& event) const {
    namespace ev = embedded::events;
    if (expect.kind != embedded::KindOf(event)) return false;
    auto sameText = [&](const std::string& text) { return !expect.text || JsonHeldText(text) == *expect.text; };
    auto sameCode = [&](int32_t code) { return !expect.code || code == *expect.code; };
    auto sameObjects = [&](const std::vector<embedded::ObjectKey>& objects) {
        if (!expect.refs) return true;
        if (expect.refs->size() != objects.size()) return false;
        for (size_t i = 0; i < objects.size(); ++i) {
            std::string why;
            auto target = world_.TryResolve((*expect.refs)[i], why);
            if (!target || !(target->key == objects[i])) return false;
        }
        return true;
    };
    return std::visit(
        [&](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, ev::Sql>)
                return sameText(e.statement);
            else if constexpr (std::is_same_v<E, ev::Forward>)
                return sameText(e.comment);
            else if constexpr (std::is_same_v<E, ev::Error>)
                return sameText(e.text) && (!expect.operation || e.operation == *expect.operation);
            else if constexpr (std::is_same_v<E, ev::Notify>)
                return sameCode(e.code) && (!expect.flag || e.flag == *expect.flag) && sameObjects(e.objects);
            else if constexpr (std::is_same_v<E, ev::Refresh>)
                return sameCode(e.action) && sameObjects(e.objects);
            else
                return sameObjects({e.object});
        },
        event);
}

void ExpectationChecker::CheckSequence(const Expectations& expect, const StepOutcome& outcome,
                                       std::vector<std::string>& failures) const {
    if (!expect.sequence) return;
    auto timeline = outcome.Timeline();
    auto matches = [&](const MomentExpect& wanted, const StepOutcome::Moment& moment) {
        if (const auto* dialog = std::get_if<DialogExpect>(&wanted))
            return moment.window && DialogDifference(*dialog, outcome.windows[moment.index]).empty();
        return !moment.window && EventMatches(std::get<EventExpect>(wanted), outcome.events[moment.index]);
    };
    size_t next = 0;
    for (size_t i = 0; i < expect.sequence->size(); ++i) {
        const auto& wanted = (*expect.sequence)[i];
        size_t at = next;
        while (at < timeline.size() && !matches(wanted, timeline[at])) ++at;
        if (at == timeline.size()) {
            const Json& written = std::visit([](const auto& entry) -> const Json& { return entry.written; }, wanted);
            failures.push_back("sequence/" + std::to_string(i) + ": expected " + JsonText(written) +
                               (i == 0 ? "" : " after sequence/" + std::to_string(i - 1)) + ", not found");
            return;
        }
        next = at + 1;
    }
}

void ExpectationChecker::CheckEvents(const Expectations& expect, const StepOutcome& outcome,
                                     std::vector<std::string>& failures) const {
    if (!expect.events) return;
    size_t next = 0;
    for (size_t i = 0; i < expect.events->size(); ++i) {
        const auto& wanted = (*expect.events)[i];
        size_t at = next;
        while (at < outcome.events.size() && !EventMatches(wanted, outcome.events[at])) ++at;
        if (at == outcome.events.size()) {
            std::string line = "events/" + std::to_string(i) + ": expected " + JsonText(wanted.written) +
                               (next == 0 ? "" : " after event " + std::to_string(next - 1)) + ", not found";
            if (wanted.refs)
                for (const auto& ref : *wanted.refs) {
                    std::string why;
                    if (!world_.TryResolve(ref, why)) line += " (" + why + ")";
                }
            failures.push_back(line);
            return;
        }
        next = at + 1;
    }
}

} // namespace quendra::playback
