#pragma once

#include <QEvent>
#include <QObject>
#include <exception>
#include <functional>
#include <utility>

// An application object whose event handlers may throw: Qt's event loop cannot carry an exception,
// so one escaping a handler goes to the handler set here instead of ending the program at once.
template <class Application> class ExceptionGuard : public Application {
public:
    using Caught = std::function<void(std::exception_ptr)>;
    using Application::Application;

    void setCaught(Caught caught) { caught_ = std::move(caught); }

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return Application::notify(receiver, event);
        } catch (...) {
            if (!caught_)
                throw;
            caught_(std::current_exception());
        }
        return false;
    }

private:
    Caught caught_;
};
