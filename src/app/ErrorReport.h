#pragma once

#include "common/Exception.h"

#include <QObject>
#include <QString>

#include <exception>
#include <string>
#include <utility>

namespace sapidoro {

// A request that cannot be met though nothing is wrong (there is nothing to act on): the
// user is told so with the information symbol, not the error one.
class ENotice : public Exception {
public:
    using Exception::Exception;
};

// The text the error report shows: the message with "." appended when its last
// character sorts after ".".
QString ErrorReportText(const QString &message);

// The message of any exception, as the error report shows it.
QString ExceptionMessage(std::exception_ptr error);

// Shows the error report: a modal message box with the error symbol, captioned with the
// application title.
void ShowErrorReport(const QString &message);
// The same box with the information symbol, for an `ENotice`.
void ShowNotice(const QString &message);

// Runs event handlers so that no exception reaches Qt's event loop. The outermost handler
// reports an error; a handler run inside another one (by a click or a value change that the
// outer handler makes) keeps its error pending instead, and the outer handler takes it over
// through EmitNested, so that one error ends the whole chain.
class EventGuard {
public:
    template <class F>
    static void Run(F &&handler) {
        ++s_depth;
        try {
            std::forward<F>(handler)();
        } catch (...) {
            Keep(std::current_exception());
        }
        --s_depth;
        if (s_depth == 0 && s_pending) ReportPending();
    }

    // Whether an event handler is running now (a dialog of its own may be handling events).
    static bool Running() { return s_depth > 0; }

    // Runs `raise`, which raises a signal whose handler runs nested (a programmatic click, a
    // value set on a control), then rethrows that handler's error in the calling handler.
    template <class F>
    static void EmitNested(F &&raise) {
        std::forward<F>(raise)();
        RethrowPending();
    }

private:
    // Rethrows the error of a nested handler, if one failed since the last call.
    static void RethrowPending();
    static void Keep(std::exception_ptr error);
    static void ReportPending();

    static inline int s_depth = 0;
    static inline std::exception_ptr s_pending;
};

// Connects a signal to a handler run through EventGuard.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection ExceptionSafeConnect(Sender *sender, Signal signal, QObject *context,
                                             Handler handler) {
    return QObject::connect(sender, signal, context, [handler](auto &&...args) {
        EventGuard::Run([&] { handler(std::forward<decltype(args)>(args)...); });
    });
}

}  // namespace sapidoro
