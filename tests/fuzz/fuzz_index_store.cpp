// A stored frame index as it might be found on disk: any bytes, whole or as the
// payload of the store. Nothing may crash, and whatever decodes must answer every
// question the frame server asks of an index within its own bounds.
#include "mci/frames/FrameIndexFile.h"
#include "mci/frames/IndexStore.h"

#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>

namespace {

QTemporaryDir* g_dir = nullptr;

void askEverything(const mci::FrameIndex& index)
{
    for (int64_t n = -1; n <= index.count(); ++n) {
        const int64_t p = index.packetOf(n);
        if (p < 0 || p >= index.packetCount())
            __builtin_trap();
        (void)index.frameOf(p);
        const int64_t start = index.decodeStartFor(n);
        if (start < 0 || start >= index.packetCount())
            __builtin_trap();
        (void)index.timeOf(n);
        (void)index.packetsAt(index.packet(p).pos);
    }
    (void)index.frameAtTime(1.0, 0, index.count());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    mci::FrameIndex index;
    if (mci::FrameIndexFile::decode(bytes, index))
        askEverything(index);

    const mci::IndexStore store(g_dir->path().toStdString(), 1 << 20);
    const mci::IndexKey key {"/media/clip.mkv", 1000, 2000, 3, 4};
    std::ofstream(store.fileFor(key), std::ios::binary | std::ios::trunc) << bytes;
    if (const auto payload = store.load(key)) {
        mci::FrameIndex stored;
        if (mci::FrameIndexFile::decode(*payload, stored))
            askEverything(stored);
    }
    return 0;
}
