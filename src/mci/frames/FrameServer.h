#pragma once
#include "mci/frames/DecodedFrame.h"
#include "mci/frames/FrameCache.h"
#include "mci/frames/FrameDecoder.h"
#include "mci/frames/FrameIndex.h"
#include "mci/frames/IndexScan.h"
#include "mci/frames/MediaFile.h"
#include "mci/frames/OpenCancel.h"
#include "mci/frames/PrefetchPlanner.h"
#include "mci/frames/StoredIndex.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mci {

// Owns the truth about a file's frames: its index, a decoder on a worker thread and
// a cache of decoded frames around the position. Every call returns at once; the
// worker decodes the frame asked for first and then what the next steps either way
// will need. A newer request supersedes decoding that no longer serves it.
//
// A big medium is indexed in the background: open() returns once its first groups of
// pictures are read, and the index grows (index(), length()) until indexComplete().
//
// The file is read only through the descriptor opened at open(). A frame that a
// decoding passed without it coming out (a damaged packet) is remembered as one that
// cannot be decoded, and nothing waits for it any more; a file that shrank or was
// written to since the open is "broken": nothing more is decoded from it.
class PacketScanner;

class FrameServer {
public:
    // Decoded frames the cache holds by default; the engine's own decoder and the
    // decoder's reference frames come on top, for about 512 MiB in all.
    static constexpr int64_t kDefaultCacheMiB = 384;
    // KELD32_MCI_CACHE_MIB overrides the default (16 .. 16384); another value is
    // said once on standard error, with the value used instead.
    static int64_t cacheBytesFromEnvironment();

    // Media up to this size are indexed whole before open() returns; bigger ones in the
    // background. KELD32_SCAN_AT_OPEN_MIB overrides it (0: every medium in the background).
    static constexpr int64_t kScanAtOpenMiB = 64;
    static int64_t scanAtOpenBytesFromEnvironment();

    enum class Result { Ok, NotFound, Invalid, NoVideo, OutOfMemory, Cancelled };
    using Listener = std::function<void(const FramePtr&)>;

    // cacheBytes 0: the environment's setting (or the default), read at each open.
    explicit FrameServer(int64_t cacheBytes = 0);
    ~FrameServer();
    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // Reads the index, decodes frame 0 and starts the worker.
    Result open(const std::string& path);
    // From another thread while open() runs: it returns Cancelled soon, with nothing open.
    void cancelOpen() { cancel_.request(); }
    // The open medium has a sound stream.
    bool hasSound() const { return decoder_.hasAudio(); }
    void close();
    bool isOpen() const { return worker_.joinable(); }

    // The index as far as it has been read: frames keep their numbers as it grows.
    std::shared_ptr<const FrameIndex> index() const;
    int64_t length() const { return index()->count(); }
    // The whole stream has been indexed: length() is final.
    bool indexComplete() const { return indexComplete_.load(); }
    // Indexing in the background failed (too many packets for an index, memory):
    // length() stays what was read.
    bool indexFailed() const { return indexFailed_.load(); }
    // How far the index has read the file, 0..100 (100 once complete).
    int indexedPercent() const;

    // Called with the frame asked for last as soon as it is decoded (on the caller's
    // thread when it was at hand, otherwise on the worker's), outside the server's
    // lock, one call at a time and never with a frame older than the last request's.
    // The listener must not call show() or setListener().
    void setListener(Listener listener);

    // The frame to show next; returns at once.
    void show(int64_t frame);
    int64_t target() const { return target_.load(); }
    void setMotion(Motion motion);
    Motion motion() const;

    FramePtr cached(int64_t frame) const { return cache_.get(frame); }
    // The decoded frame, waiting for it up to `timeout` (null when it did not come,
    // at once when it cannot: undecodable(frame)).
    FramePtr waitFor(int64_t frame, std::chrono::milliseconds timeout);
    // The frame will never come: a decoding passed it without it coming out, or the
    // file is broken.
    bool undecodable(int64_t frame) const;
    // The file shrank or was written to since the open (looked at now); from then on
    // no frame is decoded any more and every wait ends.
    bool broken();
    const FrameCache& cache() const { return cache_; }
    // Decoding jobs run since the open (for tests and diagnosis).
    int64_t jobsRun() const { return jobsRun_.load(); }
    // Pictures the decoder has handed out since the open, kept or not.
    int64_t picturesDecoded() const { return picturesDecoded_.load(); }

private:
    // Groups and packets read before open() returns when the rest is read in the background.
    static constexpr int64_t kFirstGroups = 3;
    static constexpr int64_t kFirstPackets = 256;

    Result openMedium(const std::string& path);
    FrameIndex::Result readIndex(std::shared_ptr<FrameIndex>& index, std::unique_ptr<PacketScanner>& rest);
    void startScan(std::unique_ptr<PacketScanner> rest, int64_t published);
    static void tooLong(const std::string& path);
    void adopt(std::shared_ptr<const FrameIndex> index, bool whole);
    void adoptInWorker();   // with mutex_ held
    void work();
    bool runJob(const DecodeJob& job, unsigned generation);
    bool learnMissing(const DecodeJob& job, const std::vector<bool>& seen, int64_t highest,
                      FrameDecoder::Outcome outcome);
    bool keep(const FramePtr& frame);
    bool neverComes(int64_t frame) const;   // with mutex_ held
    void handOver(const FramePtr& frame, bool fromRequest);
    PrefetchPlanner::Situation situation() const;
    void trace(const DecodeJob& job, std::chrono::steady_clock::time_point began, bool added) const;

    static const FrameIndex& emptyIndex();

    mutable std::mutex indexMutex_;
    std::shared_ptr<const FrameIndex> index_;     // the latest, for every caller
    std::shared_ptr<const FrameIndex> pending_;   // newer than the worker's, with mutex_
    std::shared_ptr<const FrameIndex> working_;   // the worker's (decoder and planner use it)
    std::atomic<bool> indexComplete_ {false};
    std::atomic<bool> indexFailed_ {false};
    std::unique_ptr<StoredIndex> stored_;
    bool fromStore_ = false;
    IndexScan scan_;
    FrameDecoder decoder_;
    FrameCache cache_;
    PrefetchPlanner planner_;
    const int64_t cacheBytes_;

    std::shared_ptr<MediaFile> file_;
    OpenCancel cancel_;
    std::mutex delivery_;               // held while the listener runs: one frame at a time, in order
    mutable std::mutex mutex_;
    std::condition_variable changed_;   // a request, a frame decoded, the end
    Listener listener_;
    std::vector<bool> undecodable_;     // by frame; learned while decoding
    std::atomic<bool> broken_ {false};
    std::atomic<int64_t> jobsRun_ {0};
    std::atomic<int64_t> picturesDecoded_ {0};
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
