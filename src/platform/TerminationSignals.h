#pragma once
#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal) into
// the program's own way out, on the user-interface thread, so that the settings
// are written as after Exit. The signal handler only writes a byte to a socket
// pair; the notifier calls `onSignal` from the event loop (also from a modal
// box's). One instance per process.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Which signal arrived last (0: none yet).
    int lastSignal() const { return last_; }

private:
    void readSignal();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
    int last_ = 0;
};
