#include "mci/FrameServer.h"

#include "mci/MibSetting.h"
#include "mci/PacketScanner.h"
#include "mci/StoredIndex.h"

#include <cstdio>
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

FrameServer::FrameServer(int64_t cacheBytes)
    : decoder_(index_), cache_(cacheBytes), planner_(index_), cacheBytes_(cacheBytes)
{
}

FrameServer::~FrameServer()
{
    close();
}

FrameServer::Result FrameServer::open(const std::string& path)
{
    close();
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
        // A medium scanned before and unchanged since needs no scan.
        const StoredIndex stored(*file_);
        const bool fromStore = stored.load(index_);
        switch (fromStore ? FrameIndex::Result::Ok : PacketScanner().scan(file_, index_)) {
        case FrameIndex::Result::NotFound:
            return Result::NotFound;
        case FrameIndex::Result::Invalid:
            return Result::Invalid;
        case FrameIndex::Result::TooLong:
            std::fprintf(stderr, "KELD32: %s has more than %lld video packets, more than a frame index holds\n",
                         path.c_str(), static_cast<long long>(FrameIndex::kMaxPackets));
            return Result::OutOfMemory;
        case FrameIndex::Result::Ok:
            break;
        }
        if (!index_.hasVideo())
            return Result::NoVideo;
        if (decoder_.open(file_) != AvInput::Result::Ok)
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
        index_.markFirstOutput(first);
        if (!fromStore)
            stored.save(index_);
        undecodable_.assign(size_t(index_.count()), false);
        cache_.clear();
        cache_.setBudget(cacheBytes_ > 0 ? cacheBytes_ : cacheBytesFromEnvironment());
        cache_.put(std::make_shared<DecodedFrame>(index_.frameOf(first), picture, index_.facts().orientation));
    } catch (const std::bad_alloc&) {
        close();
        return Result::OutOfMemory;
    }
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
    return Result::Ok;
}

void FrameServer::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        ++generation_;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
    decoder_.close();
    cache_.clear();
    index_.reset({});
    file_.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    undecodable_.clear();
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
    frame = index_.clampFrame(frame);
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
    frame = index_.clampFrame(frame);
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
                 static_cast<long long>(index_.frameOf(job.start)), static_cast<long long>(job.first),
                 static_cast<long long>(job.last), static_cast<long long>(job.keepFrom), job.urgent ? " urgent" : "",
                 static_cast<long long>(target_.load()), ms, added ? "new frames" : "nothing new",
                 static_cast<long long>(cache_.size()));
}

PrefetchPlanner::Situation FrameServer::situation() const
{
    const int64_t estimate = int64_t(index_.displayWidth()) * index_.displayHeight() * 3 / 2;
    const int64_t frameBytes = cache_.frameBytes() > 0 ? cache_.frameBytes() : estimate;
    return {target_.load(), direction_, motion_, cache_.capacity(estimate),
            PrefetchPlanner::playAhead(index_.frameRate(), frameBytes)};
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
        while (end < job.last && index_.decodeStartFor(end + 1) == job.start)
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
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
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
