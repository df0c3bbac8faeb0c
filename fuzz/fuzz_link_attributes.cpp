// Fuzzes the link attribute list from the script: parsing it and cleaning it against the plant's parts-tree link.
// SPDX-License-Identifier: Apache-2.0
#include "ClsUtils.h"
#include "Database.h"
#include "ScriptedUser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

namespace {

struct World {
    quendra::scripted::ScriptedUser user;
    std::shared_ptr<quendra::embedded::Database> db =
        quendra::embedded::Database::Create(":memory:", quendra::embedded::BuiltInModel("plant"));
    quendra::Ptr<quendra::CvSession> session = db->Login("carl", user);
};

void Check(bool holds) {
    if (!holds) std::abort();
}

std::string Trimmed(const std::string& piece) {
    const size_t first = piece.find_first_not_of(' ');
    return first == std::string::npos ? "" : piece.substr(first, piece.find_last_not_of(' ') - first + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    world.user.SetAnswers({});
    const std::string text(reinterpret_cast<const char*>(data), size);
    quendra::ClsUtils utils(world.user);

    auto parsed = utils.GetAttributesFromScript(text);
    Check(parsed != nullptr);
    Check(parsed->size() == (text.empty() ? 0 : static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1));
    size_t start = 0;
    for (const auto& item : *parsed) {
        const size_t comma = std::min(text.find(',', start), text.size());
        Check(item == Trimmed(text.substr(start, comma - start)));
        start = comma + 1;
    }

    const quendra::StringList before = *parsed;
    auto cleaned = utils.CleanLinkAttributes(world.session, parsed);
    Check(cleaned == parsed);

    // What stays is the first occurrence of each name the link class has with a supported type, in order.
    auto partsTree = world.session->MetaInfo()->ClassByName("Parts Tree");
    quendra::StringList expected;
    std::set<std::string> seen;
    std::string report;
    for (const auto& name : before) {
        if (!seen.insert(name).second || !partsTree->HasAttribute(name)) continue;
        const int32_t code = partsTree->AttributeDefs()->DefinitionByName(name)->TypeCode();
        if (code == 0 || (code >= 5 && code <= 13) || (code >= 16 && code <= 20)) {
            report += (report.empty() ? "" : ", ") + name;
            continue;
        }
        expected.push_back(name);
    }
    Check(*cleaned == expected);
    const auto& windows = world.user.Windows();
    Check(windows.size() == (report.empty() ? 0u : 1u));
    if (!report.empty())
        Check(std::get<quendra::answering::records::MessageBox>(windows[0].what).text ==
              "The following attributes cannot be treated because their types is not supported "
              ":\r\n" +
                  report + "\r\nPlease Contact your Administrator");
    return 0;
}
