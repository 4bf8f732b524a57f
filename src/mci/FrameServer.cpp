#include "mci/FrameServer.h"

#include "mci/PacketScanner.h"

#include <cstdio>
#include <cstdlib>
#include <new>

extern "C" {
#include <libavutil/frame.h>
}

namespace mci {

int64_t FrameServer::cacheBytesFromEnvironment()
{
    const char* v = std::getenv("KELD32_MCI_CACHE_MIB");
    const long long mib = v && *v ? std::atoll(v) : 0;
    return (mib >= 16 && mib <= 16384 ? mib : kDefaultCacheMiB) * 1024 * 1024;
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
        switch (PacketScanner().scan(path, index_)) {
        case FrameIndex::Result::NotFound:
            return Result::NotFound;
        case FrameIndex::Result::Invalid:
            return Result::Invalid;
        case FrameIndex::Result::Ok:
            break;
        }
        if (!index_.hasVideo())
            return Result::NoVideo;
        if (decoder_.open(path) != AvInput::Result::Ok)
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
        cache_.clear();
        cache_.setBudget(cacheBytes_ > 0 ? cacheBytes_ : cacheBytesFromEnvironment());
        cache_.put(std::make_shared<DecodedFrame>(index_.frameOf(first), picture));
    } catch (const std::bad_alloc&) {
        close();
        return Result::OutOfMemory;
    }
    target_ = 0;
    direction_ = 0;
    motion_ = Motion::Still;
    quit_ = false;
    exhausted_ = false;
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
}

void FrameServer::setListener(Listener listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void FrameServer::show(int64_t frame)
{
    frame = index_.clampFrame(frame);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Looked up under the lock: a frame the worker keeps meanwhile is then either
        // found here or handed over by the worker, never neither.
        const FramePtr ready = cache_.get(frame);
        const int64_t before = target_.load();
        if (frame != before)
            direction_ = frame > before ? 1 : -1;
        target_ = frame;
        ++generation_;
        exhausted_ = false;
        cache_.setFocus(frame, direction_);
        // Under the lock, so that a frame the worker hands over for an older request
        // can never reach the window after this one.
        handedOver_ = ready ? frame : -1;
        if (ready && listener_)
            listener_(ready);
    }
    changed_.notify_all();
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
        cache_.setFocus(target_, direction_);
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
        if (quit_ || changed_.wait_until(lock, deadline) == std::cv_status::timeout)
            return cache_.get(frame);
    }
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
    return {target_.load(), direction_, motion_, cache_.capacity(estimate)};
}

bool FrameServer::keep(const FramePtr& frame)
{
    const bool kept = cache_.put(frame);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Once: the end of the stream can bring the frame asked for out a second time.
        if (frame->number() == target_.load() && frame->number() != handedOver_) {
            handedOver_ = frame->number();
            if (listener_)
                listener_(frame);
        }
    }
    changed_.notify_all();
    return kept;
}

bool FrameServer::runJob(const DecodeJob& job, unsigned generation)
{
    bool added = false;
    const FrameDecoder::Sink sink = [&](FramePtr frame) {
        const int64_t n = frame->number();
        // Pictures decoded below what the job keeps were only references: caching
        // them would leave gaps that each cost a decoding from the key frame again.
        if (n >= job.keepFrom || n == target_.load())
            added = keep(frame) || added;
        return n < job.last;
    };
    // Decoding goes on while it still serves what is asked for now.
    const FrameDecoder::Cancelled cancelled = [&] {
        std::lock_guard<std::mutex> lock(mutex_);
        if (quit_)
            return true;
        if (generation_ == generation)
            return false;
        const int64_t t = target_.load();
        // A background job planned before reverse play began (ahead of the position, or
        // a whole window behind it) makes way for the short job that brings its next frame.
        if (cache_.has(t))
            return job.urgent ? job.last != t : motion_ == Motion::Reverse && job.motion != Motion::Reverse;
        return !decoder_.canContinueTo(t);
    };
    const FrameDecoder::Outcome outcome = decoder_.run(job.start, job.first, job.keepFrom, sink, cancelled);
    if (outcome == FrameDecoder::Outcome::Failed)
        return false;
    return added;
}

void FrameServer::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        std::optional<DecodeJob> job;
        const unsigned planned = generation_;
        if (!exhausted_) {
            const auto situationNow = situation();
            lock.unlock();
            job = planner_.next(situationNow, [this](int64_t n) { return cache_.has(n); });
            lock.lock();
        }
        if (!job) {
            // A request that came while planning is looked at before sleeping.
            if (!quit_ && generation_ == planned)
                changed_.wait(lock);
            continue;
        }
        const unsigned generation = generation_;
        lock.unlock();
        bool added = false;
        const auto t0 = std::chrono::steady_clock::now();
        try {
            added = runJob(*job, generation);
        } catch (const std::bad_alloc&) {
            added = false;   // memory ran out: stop decoding ahead until something changes
        }
        trace(*job, t0, added);
        lock.lock();
        // A job that brought nothing new (a broken stretch of the file, frames the
        // cache cannot keep) is not tried again until the position or motion changes.
        if (!added && generation_ == generation)
            exhausted_ = true;
    }
}

} // namespace mci
