#pragma once

class TQueueForm;

// The start-up queue: a queue file named on the command line is loaded and played
// one second after start, from the display window's Timer1.

// Connects the display window's Timer1 to StartupQueueTimer for as long as `form`
// lives. Does nothing without a display window.
void ConnectStartupQueue(TQueueForm& form);

// The timer's handler: fires once, loads MediaPath into the queue and plays its
// first entry; a load stopped at the limit plays nothing, a failed one says so.
void StartupQueueTimer();
