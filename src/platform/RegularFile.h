#pragma once
#include <QByteArray>
#include <QString>

// Reads the whole of `path` into `bytes` when it is a regular file (after its
// symbolic links) of at most `maxBytes` bytes. Anything else is refused without
// waiting on it: a FIFO would hold the caller until a writer comes, a device such
// as /dev/zero never ends, and a folder or socket holds no text.
// False (bytes untouched) when refused or unreadable.
bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes);
