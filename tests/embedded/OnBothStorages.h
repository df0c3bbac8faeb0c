// OnBothStorages: the plant fixture on each storage of the platform, a test of it running once per storage:
// a database in memory, and one in a schema of its own on the test server (QUENDRA_TEST_POSTGRES, set by
// the CTest fixture that starts the server), skipped when no server is given.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "PlantFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace quendra::test {

enum class Storage { Sqlite, Postgres };

class OnBothStorages : public PlantFixture, public ::testing::WithParamInterface<Storage> {
protected:
    void SetUp() override {
        if (GetParam() == Storage::Sqlite) return PlantFixture::SetUp();
        const char* server = std::getenv("QUENDRA_TEST_POSTGRES");
        if (!server || !*server) GTEST_SKIP() << "no PostgreSQL server for the tests (QUENDRA_TEST_POSTGRES)";
        static int made = 0;
        schema.emplace(server, "quendra_test_" + std::to_string(getpid()) + "_" + std::to_string(++made));
        Open(schema->Address());
    }
};

inline void PrintTo(Storage storage, std::ostream* out) {
    *out << (storage == Storage::Sqlite ? "SQLite" : "PostgreSQL");
}

inline std::string StorageName(const ::testing::TestParamInfo<Storage>& info) {
    return info.param == Storage::Sqlite ? "Sqlite" : "Postgres";
}

} // namespace quendra::test

// Runs the tests of a fixture derived from OnBothStorages on each storage.
#define QUENDRA_ON_BOTH_STORAGES(Fixture)                                                                              \
    INSTANTIATE_TEST_SUITE_P(Storages, Fixture,                                                                        \
                             ::testing::Values(::quendra::test::Storage::Sqlite, ::quendra::test::Storage::Postgres),  \
                             ::quendra::test::StorageName)
