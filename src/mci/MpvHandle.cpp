#include "mci/MpvHandle.h"

#include "mci/XlibErrorGuard.h"

#include <algorithm>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace mci {
namespace {

enum ObservedId : uint64_t { kTimePos = 1, kPause, kEof, kSeeking, kOsdWidth, kOsdHeight };

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
        // The decoders' frames and the reversal buffer (hundreds of MB after backward
        // play) are free now, but the C library keeps freed heap pages resident
        // until told otherwise; a queue would carry the largest medium's peak.
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
    }
}

void MpvHandle::wakeup(void* self)
{
    // Called from libmpv's threads: only a flag is touched here.
    static_cast<MpvHandle*>(self)->pending_.store(true);
}

bool MpvHandle::create(const Options& options)
{
    KeepXlibErrorsNonFatal();
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
    mpv_observe_property(h_, kSeeking, "seeking", MPV_FORMAT_FLAG);
    // The window's size decides where a destination rectangle lands in it.
    mpv_observe_property(h_, kOsdWidth, "osd-width", MPV_FORMAT_INT64);
    mpv_observe_property(h_, kOsdHeight, "osd-height", MPV_FORMAT_INT64);
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

int MpvHandle::commandNode(std::vector<const char*> args, mpv_node& result)
{
    mpv_node_list list {};
    std::vector<mpv_node> items(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        items[i].format = MPV_FORMAT_STRING;
        items[i].u.string = const_cast<char*>(args[i]);
    }
    list.num = int(items.size());
    list.values = items.data();
    mpv_node in {};
    in.format = MPV_FORMAT_NODE_ARRAY;
    in.u.list = &list;
    return mpv_command_node(h_, &in, &result);
}

QImage MpvHandle::screenshot()
{
    mpv_node shot {};
    if (commandNode({"screenshot-raw", "video"}, shot) < 0)
        return {};
    int64_t w = 0, h = 0, stride = 0;
    const mpv_byte_array* data = nullptr;
    std::string format;
    if (shot.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list* m = shot.u.list;
        for (int i = 0; i < m->num; ++i) {
            const char* k = m->keys[i];
            const mpv_node& v = m->values[i];
            if (!std::strcmp(k, "w") && v.format == MPV_FORMAT_INT64)
                w = v.u.int64;
            else if (!std::strcmp(k, "h") && v.format == MPV_FORMAT_INT64)
                h = v.u.int64;
            else if (!std::strcmp(k, "stride") && v.format == MPV_FORMAT_INT64)
                stride = v.u.int64;
            else if (!std::strcmp(k, "format") && v.format == MPV_FORMAT_STRING)
                format = v.u.string;
            else if (!std::strcmp(k, "data") && v.format == MPV_FORMAT_BYTE_ARRAY)
                data = v.u.ba;
        }
    }
    QImage image;
    // "bgr0" is byte order B, G, R, 0: Qt's RGB32 on a little-endian machine.
    if (data && format == "bgr0" && w > 0 && h > 0 && stride >= w * 4 && data->size >= size_t(stride * h))
        image = QImage(static_cast<const uchar*>(data->data), int(w), int(h), int(stride), QImage::Format_RGB32)
                    .copy();
    mpv_free_node_contents(&shot);
    return image;
}

void MpvHandle::onProperty(const mpv_event_property& p)
{
    if (p.format == MPV_FORMAT_NONE) {
        if (std::strcmp(p.name, "time-pos") == 0)
            observed_.timePos = -1;
        return;
    }
    if (p.format == MPV_FORMAT_INT64 && std::strncmp(p.name, "osd-", 4) == 0)
        ++windowResizes_;
    else if (p.format == MPV_FORMAT_DOUBLE && std::strcmp(p.name, "time-pos") == 0)
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
        else if (std::strcmp(p.name, "seeking") == 0)
            observed_.seeking = v;
    }
}

mpv_event_id MpvHandle::handleNext(double timeoutSeconds, mpv_event* copy)
{
    mpv_event* ev = mpv_wait_event(h_, timeoutSeconds);
    switch (ev->event_id) {
    case MPV_EVENT_PROPERTY_CHANGE:
        onProperty(*static_cast<mpv_event_property*>(ev->data));
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        ++restarts_;
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<mpv_event_end_file*>(ev->data);
        lastEndFileEntry_ = end->playlist_entry_id;
        break;
    }
    default:
        break;
    }
    if (copy)
        *copy = *ev;
    return ev->event_id;
}

void MpvHandle::pump()
{
    if (!h_ || !pending_.exchange(false))
        return;
    while (handleNext(0) != MPV_EVENT_NONE) {
    }
}

bool MpvHandle::waitUntil(const std::function<bool(const Observed&)>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition(observed_)) {
        const double left = secondsLeft(deadline);
        if (left <= 0)
            return false;
        if (handleNext(left) == MPV_EVENT_SHUTDOWN)
            return false;
    }
    return true;
}

MpvHandle::LoadResult MpvHandle::load(const std::string& path, std::chrono::milliseconds timeout)
{
    pump();
    mpv_node result {};
    if (commandNode({"loadfile", path.c_str(), "replace"}, result) < 0)
        return LoadResult::Failed;
    int64_t entry = -1;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0
                && result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry = result.u.list->values[i].u.int64;
    }
    mpv_free_node_contents(&result);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool loaded = false;
    const unsigned restartsBefore = restarts_;
    while (secondsLeft(deadline) > 0) {
        mpv_event ev {};
        const mpv_event_id id = handleNext(secondsLeft(deadline), &ev);
        if (id == MPV_EVENT_FILE_LOADED)
            loaded = true;
        else if (id == MPV_EVENT_END_FILE && (entry < 0 || lastEndFileEntry_ == entry))
            return LoadResult::Failed;
        else if (id == MPV_EVENT_SHUTDOWN)
            return LoadResult::Failed;
        if (loaded && restarts_ != restartsBefore)
            return LoadResult::Loaded;
    }
    return LoadResult::TimedOut;
}

bool MpvHandle::waitForRestart(std::chrono::milliseconds timeout, bool nudge)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const unsigned before = restarts_;
    while (restarts_ == before) {
        const double left = secondsLeft(deadline);
        if (left <= 0)
            return false;
        if (nudge) {
            double ignored = 0;
            getDouble("time-pos", ignored);   // a property read wakes the core
        }
        const mpv_event_id id = handleNext(nudge ? std::min(left, 0.005) : left);
        if (id == MPV_EVENT_SHUTDOWN || id == MPV_EVENT_END_FILE)
            return false;
    }
    return true;
}

} // namespace mci
