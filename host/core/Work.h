// Long work that runs off the GUI thread (a report reading its rows, laying
// out and writing its pages) as the user interface follows it: what it does
// now, how far it got, whether it is over, and a way to ask it to stop.
// Every member may be called from any thread.
#pragma once

#include <QString>

class Work {
public:
    virtual ~Work() = default;

    // True once the work has ended: done, failed, or stopped after cancel().
    virtual bool finished() const = 0;
    // What it does now, in words for people ("Lendo os registros...").
    virtual QString status() const = 0;
    // How far it got: done of total; total 0 while the end is not known.
    virtual qint64 done() const = 0;
    virtual qint64 total() const = 0;
    // Asks the work to stop as soon as it can (finished() says when it has).
    virtual void cancel() = 0;
    // Once finished: why it failed, in words for people; empty when it did not.
    virtual QString error() const { return QString(); }
};
