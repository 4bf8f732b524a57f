#include "mci/frames/FrameServer.h"

#include "mci/frames/MibSetting.h"
#include "mci/frames/PacketScanner.h"
#include "mci/frames/StoredIndex.h"
#include "mci/frames/ThreadPriority.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <cstdlib>
#include <new>

extern "C" {
#include <libavutil/frame.h>
}

namespace mci {

int64_t FrameServer::cacheBytesFromEnvironment()
{
    return mibSetting("KELD32_MCI_CACHE_MIB", 16, 16384, kDefaultCacheMiB);
}

int64_t FrameServer::scanAtOpenBytesFromEnvironment()
{
    return mibSetting("KELD32_SCAN_AT_OPEN_MIB", 0, int64_t(1) << 30, kScanAtOpenMiB);
}

const FrameIndex& FrameServer::emptyIndex()
{
    static const FrameIndex empty;
    return empty;
}

FrameServer::FrameServer(int64_t cacheBytes)
    : index_(std::make_shared<FrameIndex>()), decoder_(emptyIndex()), cache_(cacheBytes), planner_(emptyIndex()),
      cacheBytes_(cacheBytes)
{
}

FrameServer::~FrameServer()
{
    close();
}

std::shared_ptr<const FrameIndex> FrameServer::index() const
{
    std::lock_guard<std::mutex> lock(indexMutex_);
    return index_;
}

// The stored index, or the first groups of a scan (the whole scan for a small
// medium); `rest` takes a scan that has more to read.
FrameIndex::Result FrameServer::readIndex(std::shared_ptr<FrameIndex>& index, std::unique_ptr<PacketScanner>& rest)
{
    // A medium scanned before and unchanged since needs no scan.
    stored_ = std::make_unique<StoredIndex>(*file_);
    index = std::make_shared<FrameIndex>();
    if (stored_->load(*index)) {
        fromStore_ = true;
        return FrameIndex::Result::Ok;
    }
    auto scanner = std::make_unique<PacketScanner>();
    FrameIndex::Result result = scanner->open(file_);
    const bool whole = file_->size() <= scanAtOpenBytesFromEnvironment();
    // Enough for frame 0 and the steps around it: two whole groups, and a few hundred
    // frames where the groups are short.
    while (result == FrameIndex::Result::Ok && !scanner->done()
           && (whole || scanner->groupsBegun() < kFirstGroups || scanner->packetsRead() < kFirstPackets))
        result = scanner->read(whole ? INT64_MAX : kFirstPackets);
    if (result != FrameIndex::Result::Ok)
        return result;
    index = scanner->snapshot();
    if (!scanner->done())
        rest = std::move(scanner);
    return FrameIndex::Result::Ok;
}

FrameServer::Result FrameServer::open(const std::string& path)
{
    close();
    Result result = openMedium(path);
    // Looked at last: a read that failed for the request may have ended a step quietly.
    if (cancel_.requested())
        result = Result::Cancelled;
    // Whatever was opened on the way is let go again.
    if (result != Result::Ok)
        close();
    cancel_.finish();
    return result;
}

FrameServer::Result FrameServer::openMedium(const std::string& path)
{
    std::unique_ptr<PacketScanner> rest;
    std::shared_ptr<FrameIndex> index;
    try {
        // Opened once: the index and the decoder read this very file from now on.
        switch (MediaFile::open(path, file_)) {
        case MediaFile::Result::NotFound:
            return Result::NotFound;
        case MediaFile::Result::Invalid:
            return Result::Invalid;
        case MediaFile::Result::Ok:
            break;
        }
        cancel_.watch(file_);
        // The decoder reads the headers (an MP4's tables can take a second) while the
        // index is read: the future waits for it on every way out. Its threads are
        // started here and take this thread's place behind the interface.
        std::future<AvInput::Result> decoderOpened = std::async(std::launch::async, [this] {
            runBehindTheInterface();
            return decoder_.open(file_);
        });
        switch (readIndex(index, rest)) {
        case FrameIndex::Result::NotFound:
            return Result::NotFound;
        case FrameIndex::Result::Invalid:
            return Result::Invalid;
        case FrameIndex::Result::TooLong:
            tooLong(path);
            return Result::OutOfMemory;
        case FrameIndex::Result::Ok:
            break;
        }
        if (!index->hasVideo())
            return Result::NoVideo;
        decoder_.setIndex(*index);
        if (decoderOpened.get() != AvInput::Result::Ok)
            return Result::Invalid;
        // Frame 0 is the first picture the decoder returns from the stream's start;
        // whatever the index placed before it never comes out.
        AVFrame* picture = nullptr;
        const int64_t first = decoder_.firstPicture(picture);
        if (first < 0) {
            av_frame_free(&picture);
            decoder_.close();
            return Result::Invalid;
        }
        index->markFirstOutput(first);
        if (rest)
            rest->setFirstOutput(first);
        else if (!fromStore_)
            stored_->save(*index);
        undecodable_.assign(size_t(index->count()), false);
        cache_.clear();
        cache_.setBudget(cacheBytes_ > 0 ? cacheBytes_ : cacheBytesFromEnvironment());
        cache_.put(std::make_shared<DecodedFrame>(index->frameOf(first), picture, index->facts().orientation));
    } catch (const std::bad_alloc&) {
        return Result::OutOfMemory;
    }
    {
        std::lock_guard<std::mutex> lock(indexMutex_);
        index_ = index;
    }
    working_ = index;
    planner_.setIndex(*index);
    indexComplete_ = !rest;
    target_ = 0;
    direction_ = 0;
    motion_ = Motion::Still;
    quit_ = false;
    exhausted_ = false;
    broken_ = false;
    jobsRun_ = 0;
    picturesDecoded_ = 0;
    handedOver_ = -1;
    worker_ = std::thread(&FrameServer::work, this);
    if (rest)
        startScan(std::move(rest), index->packetCount());
    return Result::Ok;
}

void FrameServer::tooLong(const std::string& path)
{
    std::fprintf(stderr, "KELD32: %s has more than %lld video packets, more than a frame index holds\n",
                 path.c_str(), static_cast<long long>(FrameIndex::kMaxPackets));
}

void FrameServer::startScan(std::unique_ptr<PacketScanner> rest, int64_t published)
{
    const std::string path = file_->path();
    scan_.start(
        std::move(rest), published, [this](std::shared_ptr<const FrameIndex> index, bool whole) { adopt(std::move(index), whole); },
        [this, path](FrameIndex::Result result) {
            // The frames read so far stay; the length is never claimed to be whole.
            indexFailed_ = true;
            if (result == FrameIndex::Result::TooLong)
                tooLong(path);
            else
                broken();
        });
}

// On the scan's thread: every caller sees the larger index at once; the worker takes
// it between two decodings.
void FrameServer::adopt(std::shared_ptr<const FrameIndex> index, bool whole)
{
    // A file that changed while it was read has no trustworthy index.
    if (file_->changed()) {
        indexFailed_ = true;
        broken();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(indexMutex_);
        index_ = index;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        undecodable_.resize(size_t(index->count()), false);
        pending_ = index;
        ++generation_;
        exhausted_ = false;
    }
    changed_.notify_all();
    if (whole) {
        indexComplete_ = true;
        stored_->save(*index);
    }
}

int FrameServer::indexedPercent() const
{
    if (indexComplete_)
        return 100;
    const int64_t size = file_ ? file_->size() : 0;
    return size > 0 ? int(std::clamp<int64_t>(scan_.position() * 100 / size, 0, 99)) : 0;
}

void FrameServer::adoptInWorker()
{
    if (!pending_)
        return;
    working_ = std::move(pending_);
    pending_.reset();
    decoder_.setIndex(*working_);
    planner_.setIndex(*working_);
}

void FrameServer::close()
{
    scan_.stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
    decoder_.close();
    decoder_.setIndex(emptyIndex());
    planner_.setIndex(emptyIndex());
    cache_.clear();
    {
        std::lock_guard<std::mutex> lock(indexMutex_);
        index_ = std::make_shared<FrameIndex>();
    }
    working_.reset();
    stored_.reset();
    fromStore_ = false;
    indexComplete_ = false;
    indexFailed_ = false;
    file_.reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.reset();
        std::vector<bool>().swap(undecodable_);
    }
}

void FrameServer::setListener(Listener listener)
{
    std::lock_guard<std::mutex> order(delivery_);
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

// Called with delivery_ held: whoever decided to hand a frame over calls the listener
// before any newer request can decide anything, so the window never gets an older
// frame after a newer one; the server's own lock is free meanwhile.
void FrameServer::handOver(const FramePtr& frame, bool fromRequest)
{
    Listener listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Once: the end of the stream can bring the frame asked for out a second time.
        if (!fromRequest && (frame->number() != target_.load() || frame->number() == handedOver_))
            return;
        handedOver_ = frame->number();
        listener = listener_;
    }
    if (listener)
        listener(frame);
}

void FrameServer::show(int64_t frame)
{
    frame = index()->clampFrame(frame);
    std::lock_guard<std::mutex> order(delivery_);
    FramePtr ready;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Looked up under the lock: a frame the worker keeps meanwhile is then either
        // found here or handed over by the worker, never neither.
        ready = cache_.get(frame);
        const int64_t before = target_.load();
        if (frame != before)
            direction_ = frame > before ? 1 : -1;
        target_ = frame;
        ++generation_;
        exhausted_ = false;
        cache_.setFocus(frame, direction_, motion_ != Motion::Still);
        handedOver_ = -1;
    }
    changed_.notify_all();
    if (ready)
        handOver(ready, true);
}

void FrameServer::setMotion(Motion motion)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (motion == motion_)
            return;
        motion_ = motion;
        if (motion != Motion::Still)
            direction_ = motion == Motion::Forward ? 1 : -1;
        cache_.setFocus(target_, direction_, motion != Motion::Still);
        ++generation_;
        exhausted_ = false;
    }
    changed_.notify_all();
}

Motion FrameServer::motion() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return motion_;
}

FramePtr FrameServer::waitFor(int64_t frame, std::chrono::milliseconds timeout)
{
    frame = index()->clampFrame(frame);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (FramePtr f = cache_.get(frame))
            return f;
        if (quit_ || neverComes(frame) || changed_.wait_until(lock, deadline) == std::cv_status::timeout)
            return cache_.get(frame);
    }
}

bool FrameServer::neverComes(int64_t frame) const
{
    return broken_ || (frame >= 0 && size_t(frame) < undecodable_.size() && undecodable_[size_t(frame)]);
}

bool FrameServer::undecodable(int64_t frame) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return neverComes(frame);
}

bool FrameServer::broken()
{
    if (!broken_ && file_ && isOpen() && file_->changed()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            broken_ = true;
            ++generation_;
        }
        changed_.notify_all();
    }
    return broken_;
}

// KELD32_MCI_TRACE=1: every decoding job on standard error, for diagnosis.
void FrameServer::trace(const DecodeJob& job, std::chrono::steady_clock::time_point began, bool added) const
{
    static const bool on = std::getenv("KELD32_MCI_TRACE") != nullptr;
    if (!on)
        return;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    std::fprintf(stderr, "KELD32 decode: from frame %lld, frames %lld..%lld (kept from %lld)%s for %lld: %.0f ms, %s, %lld cached\n",
                 static_cast<long long>(working_->frameOf(job.start)), static_cast<long long>(job.first),
                 static_cast<long long>(job.last), static_cast<long long>(job.keepFrom), job.urgent ? " urgent" : "",
                 static_cast<long long>(target_.load()), ms, added ? "new frames" : "nothing new",
                 static_cast<long long>(cache_.size()));
}

PrefetchPlanner::Situation FrameServer::situation() const
{
    const int64_t estimate = int64_t(working_->displayWidth()) * working_->displayHeight() * 3 / 2;
    const int64_t frameBytes = cache_.frameBytes() > 0 ? cache_.frameBytes() : estimate;
    return {target_.load(), direction_, motion_, cache_.capacity(estimate),
            PrefetchPlanner::playAhead(working_->frameRate(), frameBytes)};
}

bool FrameServer::keep(const FramePtr& frame)
{
    const bool kept = cache_.put(frame);
    {
        std::lock_guard<std::mutex> order(delivery_);
        handOver(frame, false);
    }
    changed_.notify_all();
    return kept;
}

// What a decoding passed without it coming out will not come out another time either:
// such frames are remembered, so that nothing waits for them and no job asks for them.
bool FrameServer::learnMissing(const DecodeJob& job, const std::vector<bool>& seen, int64_t highest,
                               FrameDecoder::Outcome outcome)
{
    int64_t end = -1;   // frames job.first .. end were passed
    switch (outcome) {
    case FrameDecoder::Outcome::Cancelled:
    case FrameDecoder::Outcome::Stopped:
        end = highest - 1;
        break;
    case FrameDecoder::Outcome::End:
        end = job.last;   // the stream ended: what has not come out never will
        break;
    case FrameDecoder::Outcome::Failed:
        // The decoding could not start from its key: no frame that needs that key comes.
        end = job.first;
        while (end < job.last && working_->decodeStartFor(end + 1) == job.start)
            ++end;
        break;
    }
    bool learned = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int64_t n = job.first; n <= end && n < int64_t(undecodable_.size()); ++n) {
            if (!seen[size_t(n - job.first)] && !cache_.has(n) && !undecodable_[size_t(n)]) {
                undecodable_[size_t(n)] = true;
                learned = true;
            }
        }
    }
    if (learned)
        changed_.notify_all();
    return learned;
}

// True when the job brought something new: frames kept, or frames learned missing.
bool FrameServer::runJob(const DecodeJob& job, unsigned generation)
{
    bool added = false;
    std::vector<bool> seen(size_t(std::max<int64_t>(job.last - job.first + 1, 1)), false);
    int64_t highest = -1;
    const FrameDecoder::Sink sink = [&](FramePtr frame) {
        const int64_t n = frame->number();
        ++picturesDecoded_;
        if (n >= job.first && n <= job.last)
            seen[size_t(n - job.first)] = true;
        highest = std::max(highest, n);
        // Pictures decoded below what the job keeps were only references: caching
        // them would leave gaps that each cost a decoding from the key frame again.
        if (n >= job.keepFrom || n == target_.load())
            added = keep(frame) || added;
        return n < job.last;
    };
    // Decoding goes on while it still serves what is asked for now.
    const FrameDecoder::Cancelled cancelled = [&] {
        std::lock_guard<std::mutex> lock(mutex_);
        if (quit_ || broken_)
            return true;
        if (generation_ == generation)
            return false;
        const int64_t t = target_.load();
        // A background job planned before reverse play began (ahead of the position, or
        // a whole window behind it) makes way for the short job that brings its next frame.
        if (cache_.has(t))
            return job.urgent ? job.last != t : motion_ == Motion::Reverse && job.motion != Motion::Reverse;
        // Forward play that dropped late pictures asks for a frame further on: a job of
        // its own passes the pictures before it that nothing refers to.
        if (motion_ == Motion::Forward && t > job.keepFrom)
            return true;
        return !decoder_.canContinueTo(t);
    };
    const FrameDecoder::Outcome outcome = decoder_.run(job.start, job.first, job.keepFrom, sink, cancelled);
    // A file that changed under the decoder explains whatever went missing.
    if (broken())
        return false;
    // What was learned is progress too: the planning now goes past those frames.
    const bool learned = learnMissing(job, seen, highest, outcome);
    return added || learned;
}

void FrameServer::work()
{
    runBehindTheInterface();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        adoptInWorker();
        std::optional<DecodeJob> job;
        // The request is counted as handled when it is read: one arriving after this
        // line wakes the worker again, whatever the planning below does.
        const unsigned generation = generation_;
        if (!exhausted_ && !broken_) {
            const auto situationNow = situation();
            lock.unlock();
            // A frame known not to come is as good as cached: no job asks for it again.
            job = planner_.next(situationNow, [this](int64_t n) { return cache_.has(n) || undecodable(n); });
            lock.lock();
        }
        if (!job) {
            if (!quit_ && generation_ == generation)
                changed_.wait(lock);
            continue;
        }
        lock.unlock();
        ++jobsRun_;
        bool added = false;
        const auto t0 = std::chrono::steady_clock::now();
        try {
            added = runJob(*job, generation);
        } catch (const std::bad_alloc&) {
            added = false;   // memory ran out: stop decoding ahead until something changes
        }
        trace(*job, t0, added);
        lock.lock();
        // A job that brought nothing new (frames the cache cannot keep, memory that ran
        // out) is not tried again until the position or motion changes.
        if (!added && generation_ == generation)
            exhausted_ = true;
    }
}

} // namespace mci
