#pragma once
#include <mpv/client.h>

#include <QImage>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mci {

// One libmpv instance: options, the properties we observe, and bounded waits
// for the events that end an asynchronous request. The cached values let status
// queries answer without a round trip into the player core.
class MpvHandle {
public:
    struct Observed {
        double timePos = -1;   // -1: no time known
        bool pause = true;
        bool eof = false;
        bool seeking = false;
    };
    enum class LoadResult { Loaded, Failed, TimedOut };
    using Options = std::vector<std::pair<std::string, std::string>>;

    MpvHandle() = default;
    ~MpvHandle();
    MpvHandle(const MpvHandle&) = delete;
    MpvHandle& operator=(const MpvHandle&) = delete;

    bool create(const Options& options);
    bool valid() const { return h_ != nullptr; }

    int set(const char* name, const std::string& value);
    int setDouble(const char* name, double value);
    int setFlag(const char* name, bool value);
    bool getDouble(const char* name, double& value);
    std::string getString(const char* name);
    int command(std::vector<const char*> args);
    int commandNode(std::vector<const char*> args, mpv_node& result);

    // The frame on display as libmpv decoded it (before any scaling to a window);
    // a null image when there is none.
    QImage screenshot();

    // Queues the file and waits until it is loaded and its first frame shown.
    LoadResult load(const std::string& path, std::chrono::milliseconds timeout);
    // Waits for the end of a seek (or a restart after a direction change).
    // With `nudge`, the player core is woken every few milliseconds while waiting:
    // libmpv 0.35 turning to backward play without a demuxer cache otherwise idles
    // for a second at a time between its backward demuxer seeks.
    bool waitForRestart(std::chrono::milliseconds timeout, bool nudge = false);
    // Waits until the observed values satisfy the condition.
    bool waitUntil(const std::function<bool(const Observed&)>& condition, std::chrono::milliseconds timeout);
    // Handles whatever events are pending, without waiting. Costs next to nothing
    // when libmpv has not signalled anything: asking it would lock its core.
    void pump();

    const Observed& observed() const { return observed_; }
    // Counts restarts, so that a caller can tell whether one happened.
    unsigned restarts() const { return restarts_; }
    // Counts the times the end was reached, for the same reason.
    unsigned eofRises() const { return eofRises_; }
    // Counts changes of the output window's size.
    unsigned windowResizes() const { return windowResizes_; }

private:
    // Handles one event; returns its id (MPV_EVENT_NONE when none came).
    mpv_event_id handleNext(double timeoutSeconds, mpv_event* copy = nullptr);
    void onProperty(const mpv_event_property& p);

    static void wakeup(void* self);

    mpv_handle* h_ = nullptr;
    std::atomic<bool> pending_ {true};
    Observed observed_;
    unsigned restarts_ = 0;
    unsigned eofRises_ = 0;
    unsigned windowResizes_ = 0;
    int64_t lastEndFileEntry_ = -1;
};

} // namespace mci
