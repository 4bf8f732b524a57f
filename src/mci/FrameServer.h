#pragma once
#include "mci/DecodedFrame.h"
#include "mci/FrameCache.h"
#include "mci/FrameDecoder.h"
#include "mci/FrameIndex.h"
#include "mci/PrefetchPlanner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace mci {

// Owns the truth about a file's frames: its index, a decoder on a worker thread and
// a cache of decoded frames around the position. Every call returns at once; the
// worker decodes the frame asked for first and then what the next steps either way
// will need. A newer request supersedes decoding that no longer serves it.
class FrameServer {
public:
    // Decoded frames the cache holds by default; the engine's own decoder and the
    // decoder's reference frames come on top, for about 512 MiB in all.
    static constexpr int64_t kDefaultCacheMiB = 384;
    // KELD32_MCI_CACHE_MIB overrides the default (16 .. 16384).
    static int64_t cacheBytesFromEnvironment();

    enum class Result { Ok, NotFound, Invalid, NoVideo, OutOfMemory };
    using Listener = std::function<void(const FramePtr&)>;

    // cacheBytes 0: the environment's setting (or the default), read at each open.
    explicit FrameServer(int64_t cacheBytes = 0);
    ~FrameServer();
    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // Reads the index, decodes frame 0 and starts the worker.
    Result open(const std::string& path);
    void close();
    bool isOpen() const { return worker_.joinable(); }

    const FrameIndex& index() const { return index_; }
    int64_t length() const { return index_.count(); }

    // Called with the frame asked for last as soon as it is decoded (on the caller's
    // thread when it was at hand, otherwise on the worker's).
    void setListener(Listener listener);

    // The frame to show next; returns at once.
    void show(int64_t frame);
    int64_t target() const { return target_.load(); }
    void setMotion(Motion motion);
    Motion motion() const;

    FramePtr cached(int64_t frame) const { return cache_.get(frame); }
    // The decoded frame, waiting for it up to `timeout` (null when it did not come).
    FramePtr waitFor(int64_t frame, std::chrono::milliseconds timeout);
    const FrameCache& cache() const { return cache_; }

private:
    void work();
    bool runJob(const DecodeJob& job, unsigned generation);
    bool keep(const FramePtr& frame);
    PrefetchPlanner::Situation situation() const;
    void trace(const DecodeJob& job, std::chrono::steady_clock::time_point began, bool added) const;

    FrameIndex index_;
    FrameDecoder decoder_;
    FrameCache cache_;
    PrefetchPlanner planner_;
    const int64_t cacheBytes_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;   // a request, a frame decoded, the end
    Listener listener_;
    std::atomic<int64_t> target_ {0};
    int64_t handedOver_ = -1;           // the frame last given to the listener for the target
    int direction_ = 0;
    Motion motion_ = Motion::Still;
    unsigned generation_ = 0;           // counts requests the worker must look at
    bool quit_ = false;
    bool exhausted_ = false;            // the last background job added nothing
    std::thread worker_;
};

} // namespace mci
