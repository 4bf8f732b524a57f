#pragma once
#include "mci/MciError.h"

#include <QString>

#include <functional>

class QEvent;
class QObject;

// An open can take long (a big file, a slow disk). It runs on a worker thread while
// the interface thread goes on painting and answering the user. Meanwhile input
// reaches only what the open-input filter lets through (what ends the open: Close,
// Exit, another Open), and every command but a close is refused at once instead of
// waiting behind the open.

// Runs `send`, one open command, and returns its code. Without a graphical
// application, or when the open ends within a moment, it is a plain call.
mci::ErrorCode RunOpen(const std::function<mci::ErrorCode()>& send);

// True while an open runs behind the interface.
bool OpenUnderWay();

// Whether `command` may go to the service while an open runs: only a close, which
// ends the open instead of waiting for it.
bool LetThroughDuringOpen(const QString& command);

// Ends the open under way and runs `then` once the code that started the open is
// done with it; with no open under way, runs `then` now.
void EndOpenThen(std::function<void()> then);

// The last open failed because the user ended it: there is no error to show.
bool OpenEndedByUser();

// What input may reach the program's windows while an open runs.
using OpenInputFilter = std::function<bool(QObject* receiver, QEvent* event)>;
void SetOpenInputFilter(OpenInputFilter allowed);
