// Runs event handlers so that no exception ever crosses Qt's event loop.
//
// The outermost handler of an event runs inside guard(): the silent EAbort ends
// it quietly, any other exception is shown as an error and ends it. Handlers
// called from inside a running handler (a text assigned in code raising
// OnChange, say) let exceptions travel to their caller, as the caller expects.
// A modal dialog opened by a handler starts a new outermost level (ModalScope).
#pragma once

#include <functional>

class QObject;

namespace Dispatch {

// Runs f as an event handler: outermost level catches, nested levels propagate.
void guard(const std::function<void()> &f);

// Raises a component's event: skipped while a form definition is being read.
void fire(const std::function<void()> &f);

// True while a handler runs (nested level > 0).
bool inHandler();

// While alive, events are not raised (a form definition is being applied).
class LoadingScope {
public:
    LoadingScope();
    ~LoadingScope();
    LoadingScope(const LoadingScope &) = delete;
    LoadingScope &operator=(const LoadingScope &) = delete;
};
bool loading();

// While alive, handlers run as outermost again: used around nested event loops.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;
private:
    int m_saved;
};

} // namespace Dispatch
