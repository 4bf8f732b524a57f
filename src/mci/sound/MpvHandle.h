#pragma once
#include <mpv/client.h>

#include <atomic>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace mci {

// One libmpv instance: options, the properties we observe, and bounded waits for
// the events that end an asynchronous request. The observed values let status
// queries answer without a round trip into the player core.
class MpvHandle {
public:
    struct Observed {
        double timePos = -1;   // -1: no time known
        bool pause = true;
        bool eof = false;
    };
    enum class LoadResult { Loaded, Failed, TimedOut };
    using Options = std::vector<std::pair<std::string, std::string>>;

    MpvHandle() = default;
    ~MpvHandle();
    MpvHandle(const MpvHandle&) = delete;
    MpvHandle& operator=(const MpvHandle&) = delete;

    bool create(const Options& options);

    int set(const char* name, const std::string& value);
    int setDouble(const char* name, double value);
    int setFlag(const char* name, bool value);
    bool getDouble(const char* name, double& value);
    std::string getString(const char* name);
    int command(std::vector<const char*> args);

    // Queues the file and waits until it is loaded and ready.
    LoadResult load(const std::string& path, std::chrono::milliseconds timeout);
    // Waits for the end of a seek (the playback restart that follows it).
    bool waitForRestart(std::chrono::milliseconds timeout);
    // Handles whatever events are pending, without waiting. Costs next to nothing
    // when libmpv has not signalled anything: asking it would lock its core.
    void pump();

    const Observed& observed() const { return observed_; }
    // Counts the times the end was reached, so that a caller can tell whether it happened.
    unsigned eofRises() const { return eofRises_; }

private:
    // Handles one event; returns its id (MPV_EVENT_NONE when none came).
    mpv_event_id handleNext(double timeoutSeconds);
    void onProperty(const mpv_event_property& p);

    static void wakeup(void* self);

    mpv_handle* h_ = nullptr;
    std::atomic<bool> pending_ {true};
    Observed observed_;
    unsigned restarts_ = 0;
    unsigned eofRises_ = 0;
    bool loaded_ = false;
    int64_t lastEndFileEntry_ = -1;
};

} // namespace mci
