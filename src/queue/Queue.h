#pragma once
#include <QString>

// The play queue's operations. The list itself is the entry list of the queue
// editor (TQueueForm::ListBox1) and its selection is the current entry; without
// an editor there is no list and every operation sees an empty queue.

// Most entries the queue takes; an add is refused once the list holds this many.
constexpr int QueueLimit = 32767;

// Appends `path` unless the list is full; a refusal shows MsgQueueFull in the
// error box. Neither sorted nor tested for existence.
bool AddQueueEntry(const QString& path);

// Empties the list, disables Remove, Remove all and "Clear Queue", refreshes the
// editor. Queue mode stays as it is.
void ClearQueueList();

// Leaves queue mode: QueueActive off, the queue dot hidden, "End Queue" disabled.
void EndQueueMode();

// Selects entry `index`, opens it and plays it in queue mode; a failed open
// closes the medium and the editor. An index outside the list does nothing.
void StartQueuePlay(int index);

// Called by the position poll when forward play has ended in queue mode. Returns
// whether the poll goes on with its caption update for this tick.
bool AdvanceQueue();

// The caption's queue suffix: "     -     Nr.:  ", entry number, " / ", count.
QString QueueCaptionSuffix();

// Read access to the list for the keyboard's next/previous entry.
int QueueCount();
int QueueIndex();  // -1 when no entry is selected
QString QueueEntry(int index);
void SelectQueueEntry(int index);
