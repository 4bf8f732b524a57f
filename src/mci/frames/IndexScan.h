#pragma once
#include "mci/frames/FrameIndex.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace mci {

class PacketScanner;

// Reads the rest of a video stream on its own thread once the first groups are in,
// and hands over a larger index from time to time: when the frames read have grown by
// half since the last one, or by a tenth after a second, and the whole one at the end.
// Every index handed over numbers the frames it holds as the whole one will.
class IndexScan {
public:
    // Called on the scan's thread; `whole`: the stream has been read to its end.
    using Publish = std::function<void(std::shared_ptr<const FrameIndex> index, bool whole)>;
    // Called on the scan's thread when reading failed before the end.
    using Failed = std::function<void(FrameIndex::Result result)>;

    IndexScan() = default;
    ~IndexScan();
    IndexScan(const IndexScan&) = delete;
    IndexScan& operator=(const IndexScan&) = delete;

    // `published`: the packets of the index handed over already.
    void start(std::unique_ptr<PacketScanner> scanner, int64_t published, Publish publish, Failed failed);
    // Returns once the thread has ended (at the latest after the packet being read).
    void stop();
    bool running() const { return running_.load(); }
    // The byte of the file the scan has read up to.
    int64_t position() const { return position_.load(); }

private:
    void run(int64_t published);

    std::unique_ptr<PacketScanner> scanner_;
    Publish publish_;
    Failed failed_;
    std::atomic<bool> stop_ {false};
    std::atomic<bool> running_ {false};
    std::atomic<int64_t> position_ {0};
    std::thread thread_;
};

} // namespace mci
