// The statements that run on database servers, watched from a thread of
// their own, so that a server that stops answering (stopped, hung, its
// machine gone) never holds the caller for good.
//
// A statement is registered while a Running object lives (made before it
// runs, kept while its rows may be fetched), and watched while the caller
// waits in the client library: from Call's construction to its end (the
// run, each fetch). A call that has not returned for kQuietMs has the watch
// ask the server for a sign of life on a connection of its own
// (DatabaseEngine::ServerProbe::answers, at most kProbeMs); a cursor left
// open between fetches is not asked about. A server that gives none is taken for silent: the
// statement's connection is closed on the client side (ServerProbe::abort),
// the call waiting in the client library returns with an error, and
// timedOut() tells the caller why. A server that answers is busy, not gone:
// the statement goes on and is asked about again after kQuietMs.
// cancelSoon() is for Cancel: a server that does not answer takes no cancel
// request either, so the connection of a statement still running
// kCancelGraceMs later is closed the same way.
// A silent server is so named within kQuietMs + kProbeMs (plus the watch's
// tick) of its last answer. Connections without a server (SQLite, Firebird
// embedded) are not watched. Thread-safe; the watch thread lives as long as
// the process.
#pragma once

#include <QString>
#include <memory>

class QSqlDatabase;

class StatementWatch {
public:
    static constexpr int kQuietMs = 3000;
    static constexpr int kProbeMs = 3000;
    static constexpr int kCancelGraceMs = 1500;
    static constexpr int kTickMs = 200;

    struct State;

    class Running {
    public:
        explicit Running(const QSqlDatabase &db);
        ~Running();
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;

        // The caller is in the client library while a Call lives.
        class Call {
        public:
            explicit Call(Running &running);
            ~Call();
            Call(const Call &) = delete;
            Call &operator=(const Call &) = delete;

        private:
            // Shared: the Running may go (a failure handled) while the call unwinds.
            std::shared_ptr<State> m_state;
        };

        // The watch closed the connection: the server did not answer.
        bool timedOut() const;
        // Seconds from the statement's start to the watch's verdict.
        int secondsWaited() const;

    private:
        std::shared_ptr<State> m_state;
    };

    // Closes the connection named connectionName when a statement on it is
    // still running kCancelGraceMs from now.
    static void cancelSoon(const QString &connectionName);
};
