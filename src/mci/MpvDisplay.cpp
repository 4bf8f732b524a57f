#include "mci/MpvDisplay.h"

#include "mci/MpvHandle.h"

namespace mci {

void MpvDisplay::addOptions(std::vector<std::pair<std::string, std::string>>& o, bool headless) const
{
    if (headless || !wid_) {
        o.push_back({"vo", "null"});
        return;
    }
    o.push_back({"vo", "gpu,x11"});
    o.push_back({"gpu-sw", "yes"});   // Mesa's software renderer, as under Xvfb
    o.push_back({"wid", std::to_string(wid_)});
}

void MpvDisplay::reset()
{
    attached_ = false;
    destSet_ = false;
    dest_ = {};
}

void MpvDisplay::switchOutput(MpvHandle& mpv, bool on)
{
    const std::string track = mpv.getString("vid");
    mpv.set("vid", "no");
    if (on) {
        mpv.set("wid", wid_ ? std::to_string(wid_) : "-1");
        mpv.set("gpu-sw", "yes");
        mpv.set("vo", "gpu,x11");
        if (!wid_ && window_.width > 0)
            mpv.set("geometry", geometryText());
    } else {
        mpv.set("vo", "null");
    }
    mpv.set("vid", track.empty() || track == "no" ? "auto" : track);
    attached_ = on;
    // A new window starts with the picture filling it, as a window of MCI's does.
    destSet_ = false;
    mpv.set("keepaspect", "no");
    mpv.setDouble("video-scale-x", 1);
    mpv.setDouble("video-scale-y", 1);
    mpv.setDouble("video-pan-x", 0);
    mpv.setDouble("video-pan-y", 0);
}

// libmpv ignores its zoom and scale factors unless it keeps the aspect, so it keeps
// it, and the factors turn its fitted size into the rectangle's size.
void MpvDisplay::place(MpvHandle& mpv) const
{
    if (!attached_ || !destSet_ || dest_.width <= 0 || dest_.height <= 0)
        return;
    double ww = 0, wh = 0, vw = 0, vh = 0;
    if (!mpv.getDouble("osd-width", ww) || !mpv.getDouble("osd-height", wh) || ww <= 0 || wh <= 0)
        return;
    if (!mpv.getDouble("video-params/dw", vw) || !mpv.getDouble("video-params/dh", vh) || vw <= 0 || vh <= 0)
        return;
    const double aspect = vw / vh;
    const bool wider = ww / wh > aspect;
    const double fitW = wider ? wh * aspect : ww;
    const double fitH = wider ? wh : ww / aspect;
    mpv.set("keepaspect", "yes");
    mpv.setDouble("video-zoom", 0);
    mpv.setDouble("video-scale-x", dest_.width / fitW);
    mpv.setDouble("video-scale-y", dest_.height / fitH);
    mpv.setDouble("video-pan-x", (dest_.left + dest_.width / 2.0 - ww / 2.0) / dest_.width);
    mpv.setDouble("video-pan-y", (dest_.top + dest_.height / 2.0 - wh / 2.0) / dest_.height);
}

void MpvDisplay::placeWindow(MpvHandle& mpv) const
{
    if (!wid_ && attached_ && window_.width > 0)
        mpv.set("geometry", geometryText());
}

std::string MpvDisplay::geometryText() const
{
    return std::to_string(window_.width) + "x" + std::to_string(window_.height) + "+"
           + std::to_string(window_.left) + "+" + std::to_string(window_.top);
}

} // namespace mci
