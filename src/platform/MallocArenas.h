#pragma once

// Keeps the C library to a single heap arena. libmpv starts a new set of threads
// for every medium it opens, and glibc hands new threads arenas of their own (up
// to eight per core) whose freed pages stay resident: a queue of short clips grew
// by about 100 MB before it levelled off, and with two arenas the resident size
// still jumped by 10 MB whenever a thread happened to land in the other one. With
// one arena a queue plays at a flat size. The player's threads allocate little
// while they run (decoded pictures come from buffer pools), so one lock costs
// nothing measurable. A MALLOC_ARENA_MAX set by the user is left alone.
// Call first thing in main(), before any thread exists.
void LimitMallocArenas();
