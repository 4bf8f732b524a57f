#include "mci/sound/MpvOptions.h"

#include <cstdio>
#include <cstdlib>

namespace mci {

MpvHandle::Options MpvOptions::forSound(int volume0to1000, bool silent)
{
    char volume[32];
    std::snprintf(volume, sizeof volume, "%.1f", volume0to1000 / 10.0);
    MpvHandle::Options o = {
        {"config", "no"},          {"terminal", "no"},          {"idle", "yes"},
        {"keep-open", "yes"},      {"pause", "yes"},            {"hr-seek", "yes"},
        {"rebase-start-time", "no"}, {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"}, {"osc", "no"},             {"ytdl", "no"},
        {"load-scripts", "no"},    {"sub-auto", "no"},          {"audio-file-auto", "no"},
        {"stop-screensaver", "no"}, {"force-window", "no"},
        {"vid", "no"},             {"audio-display", "no"},     {"vo", "null"},
        // A file is read as the file it is: libavformat's demuxers only, on local
        // files only, never a playlist's or a reference's entries elsewhere.
        {"demuxer", "lavf"},       {"demuxer-lavf-o", "protocol_whitelist=file"},
        {"access-references", "no"},
        {"volume", volume},        {"ao", silent ? "null" : "pulse,alsa,null"},
    };
    if (const char* log = std::getenv("KELD32_MPV_LOG"); log && *log) {
        // For diagnosis: libmpv's own log on stderr, at the given level.
        o.push_back({"terminal", "yes"});
        o.push_back({"msg-level", std::string("all=") + log});
        o.push_back({"msg-time", "yes"});
    }
    return o;
}

} // namespace mci
