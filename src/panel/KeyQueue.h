#pragma once

// Keys "+" and "-": while the queue plays, move its selection (the current entry)
// one entry on or back and play that file from its start. A file that fails to
// open ends queue mode.
void NextQueueEntry();
void PreviousQueueEntry();
