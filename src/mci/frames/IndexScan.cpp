#include "mci/frames/IndexScan.h"

#include "mci/frames/FreedMemory.h"
#include "mci/frames/PacketScanner.h"
#include "mci/frames/ThreadPriority.h"

#include <chrono>
#include <new>

namespace mci {
namespace {

// Packets read between two looks at the clock and at a request to stop.
constexpr int64_t kPacketsPerRead = 2048;

} // namespace

IndexScan::~IndexScan()
{
    stop();
}

void IndexScan::start(std::unique_ptr<PacketScanner> scanner, int64_t published, Publish publish, Failed failed)
{
    stop();
    scanner_ = std::move(scanner);
    publish_ = std::move(publish);
    failed_ = std::move(failed);
    stop_ = false;
    running_ = true;
    position_ = 0;
    thread_ = std::thread(&IndexScan::run, this, published);
}

void IndexScan::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    scanner_.reset();
    publish_ = nullptr;
    failed_ = nullptr;
}

void IndexScan::run(int64_t published)
{
    runBehindTheInterface();
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    FrameIndex::Result result = FrameIndex::Result::Ok;
    try {
        while (!stop_ && !scanner_->done()) {
            result = scanner_->read(kPacketsPerRead);
            if (result != FrameIndex::Result::Ok)
                break;
            position_ = scanner_->position();
            const int64_t read = scanner_->packetsRead();
            const bool grown = read >= published + published / 2;
            const bool due = Clock::now() - last >= std::chrono::seconds(1) && read >= published + published / 10;
            if (!scanner_->done() && !scanner_->listing() && (grown || due)) {
                std::shared_ptr<const FrameIndex> index = scanner_->snapshot();
                published = index->packetCount();
                last = Clock::now();
                publish_(std::move(index), false);
            }
        }
        if (!stop_ && result == FrameIndex::Result::Ok)
            publish_(scanner_->snapshot(), true);
    } catch (const std::bad_alloc&) {
        result = FrameIndex::Result::TooLong;
    }
    if (!stop_ && result != FrameIndex::Result::Ok)
        failed_(result);
    // The demuxer's own tables of a long MP4 take as much memory as the index; they
    // are of no more use once the end is read.
    scanner_.reset();
    giveBackFreedMemory();
    running_ = false;
}

} // namespace mci
