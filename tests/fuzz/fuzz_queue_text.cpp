// Queue file bytes: parsing never fails, and whatever was read can be written
// back and reads as the same entries.
#include "queue/QueueFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = ParseQueueText(bytes);
    QByteArray written;
    if (!FormatQueueText(lines, written))
        std::abort();  // a read entry never holds a line end or a zero byte
    if (ParseQueueText(written) != lines)
        std::abort();
    return 0;
}
