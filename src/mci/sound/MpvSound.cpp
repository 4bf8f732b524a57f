#include "mci/sound/MpvSound.h"

#include "mci/sound/MpvHandle.h"
#include "mci/sound/MpvOptions.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace mci {
namespace {

constexpr std::chrono::milliseconds kLoadTimeout {10000};

std::string seconds(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

// libmpv reads a name with "://" in it as a URL; a canonical absolute path has none,
// so a local name is never taken for anything else ("-", "http:/x").
std::string absolute(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

} // namespace

MpvSound::MpvSound() = default;
MpvSound::~MpvSound() = default;

std::unique_ptr<MpvHandle> MpvSound::load(const std::string& path, int volume, bool silent)
{
    auto mpv = std::make_unique<MpvHandle>();
    if (!mpv->create(MpvOptions::forSound(volume, silent)))
        return nullptr;
    if (mpv->load(path, kLoadTimeout) != MpvHandle::LoadResult::Loaded)
        return nullptr;
    const std::string track = mpv->getString("aid");
    if (track.empty() || track == "no")
        return nullptr;
    return mpv;
}

void MpvSound::open(const std::string& path, bool silent)
{
    close();
    loadedVolume_ = volume_;
    loading_ = std::async(std::launch::async, &MpvSound::load, absolute(path), loadedVolume_, silent);
}

void MpvSound::settle()
{
    if (!loading_.valid())
        return;
    // The wait holds no lock: the volume may be set meanwhile, from the thread that
    // controls the sound while the clock's thread waits here.
    loading_.wait();
    std::lock_guard<std::mutex> lock(handOver_);
    mpv_ = loading_.get();
    // The volume may have been set while the sound loaded.
    if (mpv_ && volume_ != loadedVolume_)
        mpv_->setDouble("volume", volume_ / 10.0);
}

bool MpvSound::isOpen()
{
    settle();
    return mpv_ != nullptr;
}

bool MpvSound::loading() const
{
    return loading_.valid() && loading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool MpvSound::mayPlay()
{
    return loading() || isOpen();
}

void MpvSound::close()
{
    settle();
    mpv_.reset();
}

bool MpvSound::seek(double at, std::chrono::milliseconds timeout)
{
    settle();
    if (!mpv_)
        return false;
    mpv_->pump();
    mpv_->setFlag("pause", true);
    if (mpv_->command({"seek", seconds(at).c_str(), "absolute+exact"}) < 0)
        return false;
    return mpv_->waitForRestart(timeout);
}

bool MpvSound::playFrom(double at, std::chrono::milliseconds timeout)
{
    if (!seek(at, timeout))
        return false;
    mpv_->setFlag("pause", false);
    return true;
}

void MpvSound::jumpTo(double at)
{
    settle();
    if (mpv_)
        mpv_->command({"seek", seconds(at).c_str(), "absolute+exact"});
}

void MpvSound::pause()
{
    // A sound still loading is paused: it loads so.
    if (loading())
        return;
    settle();
    if (mpv_)
        mpv_->setFlag("pause", true);
}

double MpvSound::clock()
{
    settle();
    if (!mpv_)
        return -1;
    // Sound that has ended (shorter than the pictures) is no clock to follow.
    double t = -1;
    if (mpv_->getString("eof-reached") == "yes" || !mpv_->getDouble("time-pos", t))
        return -1;
    return t;
}

bool MpvSound::ended()
{
    settle();
    if (!mpv_)
        return true;
    mpv_->pump();
    return mpv_->observed().eof;
}

double MpvSound::duration()
{
    settle();
    double d = 0;
    return mpv_ && mpv_->getDouble("duration", d) ? d : 0;
}

void MpvSound::setEnd(double at)
{
    settle();
    if (mpv_)
        mpv_->set("end", at < 0 ? "none" : seconds(at));
}

bool MpvSound::setVolume(int volume0to1000)
{
    if (volume0to1000 < 0 || volume0to1000 > 1000)
        return false;
    std::lock_guard<std::mutex> lock(handOver_);
    volume_ = volume0to1000;
    if (mpv_ && !loading_.valid())
        mpv_->setDouble("volume", volume0to1000 / 10.0);
    return true;
}

} // namespace mci
