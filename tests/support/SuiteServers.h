// The Firebird server and the PostgreSQL cluster that ctest starts once for
// a whole suite run (the suite_servers program, run as the CTest fixture
// "suite_servers") and the tests that need a server join, instead of each
// program starting its own.
//
// The fixture writes a description (an INI file: each server's port, or why
// it could not start) and ctest names it to the tests in
// MERENDA_TEST_SERVERS. A program run alone has no such variable: its
// FirebirdServer and PostgresCluster then start servers of their own, as
// they always did.
#pragma once

#include <QString>
#include <optional>

namespace SuiteServers {

constexpr const char *Variable = "MERENDA_TEST_SERVERS";

// Whether a fixture joins the suite's server or runs one of its own: a test
// that stops or kills its server needs one of its own.
enum class Sharing { JoinSuite, Private };

struct Server {
    int port = 0;
    // Why the suite has no such server (not installed, would not start).
    QString error;
};

// The suite's server of that kind ("firebird", "postgresql"); nothing when
// the program runs outside the suite. A description named but unreadable
// is an error of the run: the Server says so.
std::optional<Server> find(const QString &kind);

// Writes the description of both servers; false when it cannot.
bool write(const QString &path, const Server &firebird, const Server &postgres);

} // namespace SuiteServers
