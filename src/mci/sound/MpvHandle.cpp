#include "mci/sound/MpvHandle.h"

#include <algorithm>
#include <cstring>

namespace mci {
namespace {

enum ObservedId : uint64_t { kTimePos = 1, kPause, kEof };

double secondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
    return left > 0 ? left : 0;
}

} // namespace

MpvHandle::~MpvHandle()
{
    if (h_) {
        mpv_set_wakeup_callback(h_, nullptr, nullptr);
        mpv_terminate_destroy(h_);
    }
}

void MpvHandle::wakeup(void* self)
{
    // Called from libmpv's threads: only a flag is touched here.
    static_cast<MpvHandle*>(self)->pending_.store(true);
}

bool MpvHandle::create(const Options& options)
{
    h_ = mpv_create();
    if (!h_)
        return false;
    for (const auto& [name, value] : options)
        mpv_set_option_string(h_, name.c_str(), value.c_str());
    if (mpv_initialize(h_) < 0) {
        mpv_terminate_destroy(h_);
        h_ = nullptr;
        return false;
    }
    mpv_request_log_messages(h_, "no");
    mpv_set_wakeup_callback(h_, &MpvHandle::wakeup, this);
    mpv_observe_property(h_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(h_, kPause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(h_, kEof, "eof-reached", MPV_FORMAT_FLAG);
    return true;
}

int MpvHandle::set(const char* name, const std::string& value)
{
    return mpv_set_property_string(h_, name, value.c_str());
}

int MpvHandle::setDouble(const char* name, double value)
{
    return mpv_set_property(h_, name, MPV_FORMAT_DOUBLE, &value);
}

int MpvHandle::setFlag(const char* name, bool value)
{
    int flag = value ? 1 : 0;
    return mpv_set_property(h_, name, MPV_FORMAT_FLAG, &flag);
}

bool MpvHandle::getDouble(const char* name, double& value)
{
    return mpv_get_property(h_, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

std::string MpvHandle::getString(const char* name)
{
    char* s = mpv_get_property_string(h_, name);
    std::string out = s ? s : "";
    mpv_free(s);
    return out;
}

int MpvHandle::command(std::vector<const char*> args)
{
    args.push_back(nullptr);
    return mpv_command(h_, args.data());
}

void MpvHandle::onProperty(const mpv_event_property& p)
{
    if (p.format == MPV_FORMAT_NONE) {
        if (std::strcmp(p.name, "time-pos") == 0)
            observed_.timePos = -1;
        return;
    }
    if (p.format == MPV_FORMAT_DOUBLE && std::strcmp(p.name, "time-pos") == 0)
        observed_.timePos = *static_cast<double*>(p.data);
    else if (p.format == MPV_FORMAT_FLAG) {
        const bool v = *static_cast<int*>(p.data) != 0;
        if (std::strcmp(p.name, "pause") == 0)
            observed_.pause = v;
        else if (std::strcmp(p.name, "eof-reached") == 0) {
            if (v && !observed_.eof)
                ++eofRises_;
            observed_.eof = v;
        }
    }
}

mpv_event_id MpvHandle::handleNext(double timeoutSeconds)
{
    mpv_event* ev = mpv_wait_event(h_, timeoutSeconds);
    switch (ev->event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        onProperty(*static_cast<mpv_event_property*>(ev->data));
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        ++restarts_;
        break;
    case MPV_EVENT_FILE_LOADED:
        loaded_ = true;
        break;
    case MPV_EVENT_END_FILE:
        lastEndFileEntry_ = static_cast<mpv_event_end_file*>(ev->data)->playlist_entry_id;
        break;
    default:
        break;
    }
    return ev->event_id;
}

void MpvHandle::pump()
{
    if (!h_ || !pending_.exchange(false))
        return;
    while (handleNext(0) != MPV_EVENT_NONE) {
    }
}

MpvHandle::LoadResult MpvHandle::load(const std::string& path, std::chrono::milliseconds timeout)
{
    pump();
    mpv_node result {};
    mpv_node args[3] {};
    const char* words[3] = {"loadfile", path.c_str(), "replace"};
    for (int i = 0; i < 3; ++i) {
        args[i].format = MPV_FORMAT_STRING;
        args[i].u.string = const_cast<char*>(words[i]);
    }
    mpv_node_list list {3, args, nullptr};
    mpv_node in {};
    in.format = MPV_FORMAT_NODE_ARRAY;
    in.u.list = &list;
    if (mpv_command_node(h_, &in, &result) < 0)
        return LoadResult::Failed;
    int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry = result.u.list->values[i].u.int64;
    mpv_free_node_contents(&result);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    loaded_ = false;
    const unsigned restartsBefore = restarts_;
    while (secondsLeft(deadline) > 0) {
        const mpv_event_id id = handleNext(secondsLeft(deadline));
        if (id == MPV_EVENT_END_FILE && (entry < 0 || lastEndFileEntry_ == entry))
            return LoadResult::Failed;
        if (id == MPV_EVENT_SHUTDOWN)
            return LoadResult::Failed;
        if (loaded_ && restarts_ != restartsBefore)
            return LoadResult::Loaded;
    }
    return LoadResult::TimedOut;
}

bool MpvHandle::waitForRestart(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const unsigned before = restarts_;
    while (restarts_ == before) {
        const double left = secondsLeft(deadline);
        if (left <= 0)
            return false;
        const mpv_event_id id = handleNext(left);
        if (id == MPV_EVENT_SHUTDOWN || id == MPV_EVENT_END_FILE)
            return false;
    }
    return true;
}

} // namespace mci
