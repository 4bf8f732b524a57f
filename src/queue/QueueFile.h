#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Queue files: one path per line, UTF-8, every line ended with CR LF, no header.
// Reading takes CR LF, CR alone or LF alone as a line end and stops at a zero byte.

// Busy: another load was running (its pumps let a second request in); nothing
// was read, and nothing is wrong with the file.
enum class TQueueLoad { Completed, StoppedAtLimit, Failed, Busy };

// The lines of a queue file's bytes. A last line without a line end still counts;
// an empty line is an (empty) entry.
QStringList ParseQueueText(QByteArray bytes);

// The bytes of a queue file for `entries`. False when an entry holds a line end
// or a zero byte: it could not be read back as one entry.
bool FormatQueueText(const QStringList& entries, QByteArray& bytes);

// Reads the whole file into `lines`; false (lines untouched) when it cannot be read,
// is no regular file (a FIFO, a device, a folder) or is longer than a full queue
// of the longest paths.
bool ReadQueueFile(const QString& path, QStringList& lines);

// Writes `entries`, replacing the file only when every byte is written: a failed
// write leaves an earlier file whole. False on any failure.
bool WriteQueueFile(const QString& path, const QStringList& entries);

// Whether `path` names an existing file (not a directory); an empty path never does.
bool QueueFileExists(const QString& path);

// Appends the existing files named in the queue file to the queue list, with the
// editor's status texts, progress bar and busy cursor; missing files are counted
// and reported, the limit stops the load. The caller reports Failed. One load
// at a time: Import is disabled meanwhile, and a request that still comes in
// gets Busy.
TQueueLoad LoadQueueFile(const QString& path);
