#pragma once
#include <QObject>

#include <functional>

class QEvent;

// While it lives, the user's input to every window of the program is dropped, except
// what `allowed` lets through. Painting, timers and everything else go on.
class InputGate : public QObject {
public:
    using Allowed = std::function<bool(QObject* receiver, QEvent* event)>;

    explicit InputGate(Allowed allowed);
    ~InputGate() override;

    // Keys, shortcuts, clicks, wheel turns, drops and context menus.
    static bool isUserInput(const QEvent& event);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    Allowed allowed_;
};
