// Measures the same operations through the MCI command strings and through raw
// libmpv on one generated clip, and prints medians and their ratio.
//   service_vs_mpv [clip] [repeats]
// Without a clip, a 1280x720 H.264 clip with B-frames is made with ffmpeg.
#include "mci/MciService.h"
#include "mci/MpvDevice.h"

#include <mpv/client.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string makeClip()
{
    const std::string path = "/tmp/keld_bench_h264_720p.mp4";
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return path;
    }
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=s=1280x720:r=25:d=20 "
                            "-c:v libx264 -preset veryfast -bf 3 -g 100 -pix_fmt yuv420p " + path;
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        std::exit(1);
    }
    return path;
}

// ---- raw libmpv ---------------------------------------------------------------
struct Raw {
    mpv_handle* h = nullptr;

    void open(const std::string& path)
    {
        h = mpv_create();
        const char* opts[][2] = {{"vo", "null"}, {"ao", "null"}, {"pause", "yes"}, {"keep-open", "yes"},
                                 {"idle", "yes"}, {"hr-seek", "yes"}, {"config", "no"}};
        for (auto& o : opts)
            mpv_set_option_string(h, o[0], o[1]);
        mpv_initialize(h);
        mpv_observe_property(h, 1, "time-pos", MPV_FORMAT_DOUBLE);
        const char* cmd[] = {"loadfile", path.c_str(), nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }
    void close()
    {
        mpv_terminate_destroy(h);
        h = nullptr;
    }
    void waitFor(mpv_event_id id)
    {
        for (;;) {
            mpv_event* e = mpv_wait_event(h, 10);
            if (e->event_id == id || e->event_id == MPV_EVENT_NONE)
                return;
        }
    }
    double timePos()
    {
        double t = 0;
        mpv_get_property(h, "time-pos", MPV_FORMAT_DOUBLE, &t);
        return t;
    }
    void seek(double t)
    {
        const std::string s = std::to_string(t);
        const char* cmd[] = {"seek", s.c_str(), "absolute+exact", nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }
    void frameStep()
    {
        while (mpv_wait_event(h, 0)->event_id != MPV_EVENT_NONE) {
        }
        const double before = timePos();
        const char* cmd[] = {"frame-step", nullptr};
        mpv_command(h, cmd);
        for (int i = 0; i < 1000; ++i) {
            mpv_event* e = mpv_wait_event(h, 10);
            if (e->event_id == MPV_EVENT_PROPERTY_CHANGE) {
                auto* p = static_cast<mpv_event_property*>(e->data);
                if (p->format == MPV_FORMAT_DOUBLE && *static_cast<double*>(p->data) != before)
                    return;
            }
            if (e->event_id == MPV_EVENT_NONE)
                return;
        }
    }
    void backStep()
    {
        const char* cmd[] = {"frame-back-step", nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }
};

// ---- MCI command strings ------------------------------------------------------
struct Service {
    mci::MciService service;
    char reply[256] {};
    bool send(const std::string& cmd) { return service.sendString(cmd.c_str(), reply, sizeof reply) == 0; }
};

struct Row {
    const char* name;
    std::vector<double> mci;
    std::vector<double> raw;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    setenv("KELD32_MCI_HEADLESS", "1", 1);
    const std::string clip = argc > 1 ? argv[1] : makeClip();
    const int repeats = argc > 2 ? std::max(3, std::atoi(argv[2])) : 15;

    Service svc;
    const std::string open = "open \"" + clip + "\" alias vid";
    const bool viaService = svc.send(open);
    if (viaService)
        svc.send("close vid");
    else
        std::printf("note: the MCI service did not open the clip (%s); measuring MpvDevice directly\n",
                    svc.service.errorString(svc.service.sendString(open.c_str(), svc.reply, sizeof svc.reply)).c_str());

    mci::MpvDevice device("digitalvideo");
    // The MCI side: through command strings when the service works, else the device itself.
    auto mciOpen = [&] { return viaService ? svc.send(open) && svc.send("set vid time format frames") : device.open(clip) == 0; };
    auto mciClose = [&] { viaService ? (void)svc.send("close vid") : device.close(); };
    auto mciSeek = [&](int n) { viaService ? (void)svc.send("seek vid to " + std::to_string(n)) : (void)device.seek(n); };
    auto mciStep = [&] { viaService ? (void)svc.send("step vid") : (void)device.step(1); };
    auto mciBack = [&] { viaService ? (void)svc.send("step vid reverse") : (void)device.step(-1); };
    auto mciPos = [&] { viaService ? (void)svc.send("status vid position") : (void)device.position(); };

    Row rows[] = {{"open to first frame", {}, {}}, {"exact seek", {}, {}}, {"step", {}, {}},
                  {"back step", {}, {}}, {"status position (us)", {}, {}},
                  {"device position (us)", {}, {}}};

    for (int i = 0; i < std::min(repeats, 8); ++i) {
        auto t0 = Clock::now();
        if (!mciOpen()) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
        rows[0].mci.push_back(msSince(t0));
        mciClose();
        Raw r;
        t0 = Clock::now();
        r.open(clip);
        rows[0].raw.push_back(msSince(t0));
        r.close();
    }

    mciOpen();
    if (viaService)
        device.open(clip);   // for the device's own share of a status query
    Raw raw;
    raw.open(clip);
    const double fps = 25;
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> frame(10, 480);
    for (int i = 0; i < repeats; ++i) {
        const int n = frame(rng);
        auto t0 = Clock::now();
        mciSeek(n);
        rows[1].mci.push_back(msSince(t0));
        t0 = Clock::now();
        raw.seek((n + 0.5) / fps);
        rows[1].raw.push_back(msSince(t0));

        t0 = Clock::now();
        mciStep();
        rows[2].mci.push_back(msSince(t0));
        t0 = Clock::now();
        raw.frameStep();
        rows[2].raw.push_back(msSince(t0));

        t0 = Clock::now();
        mciBack();
        rows[3].mci.push_back(msSince(t0));
        t0 = Clock::now();
        raw.backStep();
        rows[3].raw.push_back(msSince(t0));
    }
    for (int i = 0; i < 200; ++i) {
        auto t0 = Clock::now();
        device.position();
        rows[5].mci.push_back(msSince(t0) * 1000);
        t0 = Clock::now();
        mciPos();
        rows[4].mci.push_back(msSince(t0) * 1000);
        t0 = Clock::now();
        raw.timePos();
        rows[4].raw.push_back(msSince(t0) * 1000);
        rows[5].raw.push_back(rows[4].raw.back());
    }
    raw.close();
    mciClose();

    std::printf("clip: %s, %d repeats, MCI side: %s\n", clip.c_str(), repeats,
                viaService ? "command strings (MciService)" : "MpvDevice");
    std::printf("%-22s %12s %12s %8s\n", "operation (ms)", "MCI median", "raw median", "ratio");
    for (const Row& row : rows) {
        const double m = median(row.mci), r = median(row.raw);
        std::printf("%-22s %12.3f %12.3f %8.2f\n", row.name, m, r, r > 0 ? m / r : 0.0);
    }
    return 0;
}
