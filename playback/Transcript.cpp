// Transcript: the same content in two forms, for people and for tools.
// SPDX-License-Identifier: Apache-2.0
#include "Transcript.h"

#include "Descriptions.h"
#include "HookCatalog.h"

namespace quendra::playback {

Transcript::Transcript(std::ostream& out, std::ostream& errors, bool json) : out_(out), errors_(errors), json_(json) {}

namespace {
// " — always 1 for this hook; see the events": what the result means for that hook.
std::string ResultNote(const std::string& hook, int16_t result) {
    const HookInfo* info = HookCatalog::Find(hook);
    return info ? " \u2014 " + HookCatalog::ResultNote(*info, result) : "";
}
} // namespace

void Transcript::Line(const Json& json) {
    out_ << JsonText(json) << '\n';
}

Json Transcript::Arguments(const ScenarioStep& step) {
    Json arguments = Json::object();
    if (step.rows) {
        arguments["rows"] = Json::array();
        for (const auto& row : *step.rows) arguments["rows"].push_back(row.written);
    }
    for (const auto& [name, text] : step.texts) arguments[name] = text;
    for (const auto& [name, arg] : step.objectArgs) arguments[name] = arg.ref ? Json(*arg.ref) : Json();
    if (step.readOnly) arguments["readOnly"] = true;
    return arguments;
}

void Transcript::BeginFile(const Scenario& scenario) {
    if (json_) {
        Line({{"file", scenario.file}, {"description", scenario.description}});
        return;
    }
    out_ << "== " << scenario.file << '\n';
    if (!scenario.description.empty()) out_ << "   " << scenario.description << '\n';
}

void Transcript::Step(size_t number, const ScenarioStep& step, const std::string& user) {
    auto arguments = Arguments(step);
    hook_ = step.hook;
    if (json_) {
        Line({{"step", number}, {"user", user}, {"hook", step.hook}, {"arguments", arguments}});
        return;
    }
    out_ << "-- step " << number << ": " << user << " calls " << step.hook << '\n';
    for (const auto& [name, value] : arguments.items()) out_ << "   " << name << " " << JsonText(value) << '\n';
}

void Transcript::Outcome(size_t number, const StepOutcome& outcome, const World& world) {
    for (const auto& moment : outcome.Timeline()) {
        if (moment.window) {
            const auto& window = outcome.windows[moment.index];
            if (json_) {
                // An answer is a JSON object as the scenario writes it; a window nobody answered says how it ended.
                auto answer = Json::parse(window.answer, nullptr, false);
                Line({{"step", number},
                      {"window", Descriptions::Window(window)},
                      {"answer", answer.is_discarded() ? Json(window.answer) : answer}});
            } else {
                out_ << "   " << Descriptions::WindowLine(window) << '\n';
                out_ << "     answer: " << (window.answer.empty() ? "(none)" : window.answer) << '\n';
            }
        } else {
            const auto& event = outcome.events[moment.index];
            if (json_)
                Line({{"step", number}, {"event", Descriptions::Event(event, world)}});
            else
                out_ << "   event " << Descriptions::EventLine(event, world) << '\n';
        }
    }
    if (json_) {
        if (outcome.error)
            Line({{"step", number}, {"result", "error"}, {"error", *outcome.error}});
        else
            Line({{"step", number}, {"result", *outcome.result}});
    } else {
        if (outcome.error)
            out_ << "   result: error: " << *outcome.error << '\n';
        else
            out_ << "   result " << *outcome.result << ResultNote(hook_, *outcome.result) << '\n';
    }
}

void Transcript::Verdict(size_t number, const std::vector<std::string>& failures) {
    if (json_) {
        Json line = {{"step", number}, {"ok", failures.empty()}};
        if (!failures.empty()) line["failures"] = failures;
        Line(line);
        return;
    }
    if (failures.empty()) {
        out_ << "   ok\n";
        return;
    }
    for (const auto& failure : failures) out_ << "   FAILED: " << failure << '\n';
}

void Transcript::EndFile(const std::string& file, int status) {
    if (json_)
        Line({{"file", file}, {"status", status == 0 ? "passed" : "failed"}});
    else
        out_ << (status == 0 ? "passed: " : "FAILED: ") << file << '\n';
}

void Transcript::WrongFile(const std::string& file, const FileError& error) {
    if (json_) {
        Line({{"file", file},
              {"status", "wrong"},
              {"error", {{"file", error.file}, {"path", error.jsonPath}, {"message", error.message}}}});
        return;
    }
    errors_ << "quendra: " << error.what() << '\n';
}

void Transcript::EnvironmentFault(const std::string& file, const std::string& message) {
    if (json_)
        Line({{"file", file}, {"status", "environment"}, {"message", message}});
    else
        errors_ << "quendra: " << file << ": cannot be played here: " << message << '\n';
}

void Transcript::Summary(int passed, int failed) {
    if (json_)
        Line({{"passed", passed}, {"failed", failed}});
    else
        out_ << passed << " passed, " << failed << " failed\n";
}

} // namespace quendra::playback
