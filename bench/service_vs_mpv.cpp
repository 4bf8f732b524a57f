// Measures navigation through the MCI command strings and through raw libmpv on the
// same generated clips, in one run, and prints medians and the ratio service / engine.
//   service_vs_mpv [repeats] [clip ...]
// Without clips it makes (once, under $KELD_BENCH_DIR or /tmp/keld-bench) a 1080p
// H.264 clip with a key frame every 250 frames, a 720p VP9 clip and an MPEG-2
// program stream.
#include "mci/MciService.h"

#include <mpv/client.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <thread>
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

// Heap bytes in use (malloc'd and mmap'd blocks): unlike the resident set it falls
// again when memory is freed, so a peak and a leak both show.
double heapMiB()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024 * 1024);
}

double residentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

struct Clip {
    std::string path;
    double fps = 25;
    int frames = 0;
    bool reverse = true;   // libmpv can play it backwards
};

std::string benchDir()
{
    const char* dir = std::getenv("KELD_BENCH_DIR");
    const std::string d = dir && *dir ? dir : "/tmp/keld-bench";
    std::system(("mkdir -p '" + d + "'").c_str());
    return d;
}

Clip makeClip(const std::string& name, const std::string& encode, int frames, bool reverse)
{
    Clip c {benchDir() + "/" + name, 25, frames, reverse};
    if (std::ifstream(c.path).good())
        return c;
    std::printf("making %s ...\n", c.path.c_str());
    std::fflush(stdout);
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i " + encode + " '" + c.path + "'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", cmd.c_str());
        std::exit(1);
    }
    return c;
}

std::vector<Clip> defaultClips()
{
    return {
        makeClip("h264_1080p_gop250.mp4",
                 "testsrc2=s=1920x1080:r=25:d=20 -c:v libx264 -preset ultrafast -bf 3 -g 250 -keyint_min 250 "
                 "-sc_threshold 0 -pix_fmt yuv420p",
                 500, true),
        makeClip("vp9_720p_gop120.webm",
                 "testsrc2=s=1280x720:r=25:d=12 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -g 120 -b:v 2M", 300,
                 true),
        makeClip("mpeg2_480p_gop15.mpg",
                 "testsrc2=s=720x480:r=25:d=20 -c:v mpeg2video -q:v 3 -g 15 -bf 2 -f vob", 500, false),
    };
}

// ---- raw libmpv: its defaults, as a program would use it -------------------------
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
    void drain()
    {
        while (mpv_wait_event(h, 0)->event_id != MPV_EVENT_NONE) {
        }
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
    void set(const char* name, const char* value) { mpv_set_property_string(h, name, value); }
    void issueSeek(double t)
    {
        const std::string s = std::to_string(t);
        const char* cmd[] = {"seek", s.c_str(), "absolute+exact", nullptr};
        mpv_command(h, cmd);
    }
    void seek(double t)
    {
        drain();
        issueSeek(t);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }
    void frameStep()
    {
        drain();
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
        drain();
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
    std::string ask(const std::string& cmd)
    {
        send(cmd);
        return reply;
    }
    bool open(const Clip& c) { return send("open \"" + c.path + "\" alias vid") && send("set vid time format frames"); }
    // A seek returns while libmpv decodes; the frame is on display when the mode leaves "seeking".
    void waitShown()
    {
        while (ask("status vid mode") == "seeking")
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    void seekShown(int n)
    {
        send("seek vid to " + std::to_string(n));
        waitShown();
    }
    long position() { return std::atol(ask("status vid position").c_str()); }
};

struct Row {
    std::string name;
    double mci = 0;
    double raw = 0;
    std::string note;
};

void print(const std::vector<Row>& rows)
{
    std::printf("  %-34s %11s %11s %7s  %s\n", "operation", "service", "engine", "ratio", "");
    for (const Row& r : rows)
        std::printf("  %-34s %11.2f %11.2f %7.2f  %s\n", r.name.c_str(), r.mci, r.raw, r.raw > 0 ? r.mci / r.raw : 0.0,
                    r.note.c_str());
    std::fflush(stdout);
}

// Steps at a fixed tick; returns the steps per second held.
template <typename F>
double multiStep(int steps, F step)
{
    const auto t0 = Clock::now();
    for (int i = 0; i < steps; ++i) {
        std::this_thread::sleep_until(t0 + std::chrono::milliseconds(100 * i));
        step();
    }
    std::this_thread::sleep_until(t0 + std::chrono::milliseconds(100 * steps));
    return steps / (msSince(t0) / 1000);
}

void benchClip(Clip clip, int repeats, std::vector<Row>& rows)
{
    Service svc;
    if (svc.open(clip)) {
        clip.frames = int(std::atol(svc.ask("status vid length").c_str()));
        clip.reverse = svc.ask("capability vid can reverse") == "true";
        svc.send("close vid");
    }
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> anyFrame(10, clip.frames - 10);

    // Open to first frame.
    {
        std::vector<double> m, r;
        for (int i = 0; i < std::min(repeats, 6); ++i) {
            auto t0 = Clock::now();
            if (!svc.open(clip)) {
                std::printf("  the service did not open %s: %s\n", clip.path.c_str(), svc.reply);
                return;
            }
            m.push_back(msSince(t0));
            svc.send("close vid");
            Raw raw;
            t0 = Clock::now();
            raw.open(clip.path);
            r.push_back(msSince(t0));
            raw.close();
        }
        rows.push_back({"open to first frame (ms)", median(m), median(r), {}});
    }

    svc.open(clip);
    Raw raw;
    raw.open(clip.path);

    // Exact seeks, steps.
    {
        std::vector<double> seekM, seekR, stepM, stepR;
        for (int i = 0; i < repeats; ++i) {
            const int n = anyFrame(rng);
            auto t0 = Clock::now();
            svc.seekShown(n);
            seekM.push_back(msSince(t0));
            t0 = Clock::now();
            raw.seek((n + 0.5) / clip.fps);
            seekR.push_back(msSince(t0));
            t0 = Clock::now();
            svc.send("step vid");
            stepM.push_back(msSince(t0));
            t0 = Clock::now();
            raw.frameStep();
            stepR.push_back(msSince(t0));
        }
        rows.push_back({"seek vid to N (ms)", median(seekM), median(seekR), {}});
        rows.push_back({"step vid (ms)", median(stepM), median(stepR), {}});
    }

    // 25 back steps in a row, from the middle of a group of pictures and from its end.
    for (int from : {clip.frames / 2 + 60, clip.frames / 2 - 1}) {
        std::vector<double> m, r;
        double firstM = 0, firstR = 0;
        svc.seekShown(from);
        raw.seek((from + 0.5) / clip.fps);
        for (int i = 0; i < 25; ++i) {
            auto t0 = Clock::now();
            svc.send("step vid reverse");
            m.push_back(msSince(t0));
            t0 = Clock::now();
            raw.backStep();
            r.push_back(msSince(t0));
        }
        firstM = m.front();
        firstR = r.front();
        const long at = svc.position();
        char note[160];
        std::snprintf(note, sizeof note, "first %.0f / %.0f ms; ended on %ld (want %d)", firstM, firstR, at, from - 25);
        rows.push_back({"25 x step vid reverse from " + std::to_string(from) + " (ms)", median(m), median(r), note});
    }

    // Multi-step at 10 steps per second, both directions.
    {
        svc.seekShown(clip.frames / 2);
        raw.seek((clip.frames / 2 + 0.5) / clip.fps);
        const double fm = multiStep(30, [&] { svc.send("step vid"); });
        const double fr = multiStep(30, [&] { raw.frameStep(); });
        rows.push_back({"multi-step forward (steps/s)", fm, fr, "goal 10"});
        const double bm = multiStep(30, [&] { svc.send("step vid reverse"); });
        const double br = multiStep(30, [&] { raw.backStep(); });
        rows.push_back({"multi-step reverse (steps/s)", bm, br, "goal 10"});
    }

    // A burst of seeks as a dragged track bar sends them, one every 40 ms.
    {
        std::vector<double> lastM, lastR;
        for (int i = 0; i < std::max(3, repeats / 3); ++i) {
            std::vector<int> targets;
            for (int k = 0; k < 8; ++k)
                targets.push_back(anyFrame(rng));
            svc.seekShown(0);
            Clock::time_point last;
            for (int n : targets) {
                last = Clock::now();
                svc.send("seek vid to " + std::to_string(n));
                std::this_thread::sleep_until(last + std::chrono::milliseconds(40));
            }
            svc.waitShown();
            lastM.push_back(msSince(last) - 40);
            const long shown = svc.position();
            if (shown != targets.back())
                std::printf("  burst ended on %ld, want %d\n", shown, targets.back());
            // The engine alone: the one exact seek to the same frame.
            raw.seek(0);
            const auto t0 = Clock::now();
            raw.seek((targets.back() + 0.5) / clip.fps);
            lastR.push_back(msSince(t0));
        }
        rows.push_back({"seek burst: last frame after (ms)", median(lastM), median(lastR), "engine: one exact seek"});
    }

    // Reverse play over 10 seconds.
    if (clip.reverse) {
        const int from = clip.frames - 2;
        svc.seekShown(from);
        const auto t0 = Clock::now();
        svc.send("play vid reverse");
        while (svc.position() >= from - 1 && msSince(t0) < 8000)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const double startup = msSince(t0);
        const long p0 = svc.position();
        const auto t1 = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double secs = msSince(t1) / 1000;
        const long moved = p0 - svc.position();
        svc.send("pause vid");

        raw.seek((from + 0.5) / clip.fps);
        raw.set("play-dir", "backward");
        raw.waitFor(MPV_EVENT_PLAYBACK_RESTART);
        raw.set("pause", "no");
        const auto t2 = Clock::now();
        const double r0 = raw.timePos();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double rmoved = (r0 - raw.timePos()) * clip.fps;
        const double rsecs = msSince(t2) / 1000;
        int64_t drops = 0;
        mpv_get_property(raw.h, "frame-drop-count", MPV_FORMAT_INT64, &drops);
        raw.set("pause", "yes");
        char note[160];
        std::snprintf(note, sizeof note, "service start %.0f ms; engine dropped %lld", startup, (long long)drops);
        rows.push_back({"play vid reverse (frames/s, 10 s)", moved / secs, rmoved / rsecs, note});
    } else {
        rows.push_back({"play vid reverse", 0, 0, "not offered: libmpv cannot play this container backwards"});
    }

    raw.close();
    svc.send("close vid");

    // Memory of the service alone: a walk back through a group of pictures and reverse play.
    const double idle = heapMiB();
    const double idleRss = residentMiB();
    svc.open(clip);
    double top = heapMiB(), topRss = residentMiB();
    const auto sample = [&] {
        top = std::max(top, heapMiB());
        topRss = std::max(topRss, residentMiB());
    };
    svc.seekShown(clip.frames / 2 + 60);
    for (int i = 0; i < 25; ++i) {
        svc.send("step vid reverse");
        sample();
    }
    if (clip.reverse) {
        svc.send("play vid reverse");
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            sample();
        }
    }
    svc.send("close vid");
    char note[160];
    std::snprintf(note, sizeof note, "heap in use at peak; %.1f MiB still in use after close; RSS grew %.0f MiB",
                  heapMiB() - idle, topRss - idleRss);
    rows.push_back({"service memory (MiB)", top - idle, 0, note});
}

} // namespace

int main(int argc, char** argv)
{
    // Picture buffers from mmap: counted wherever a thread allocates them (mallinfo2
    // sees only the main arena otherwise) and handed back on free.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    setenv("KELD32_MCI_HEADLESS", "1", 1);
    const int repeats = argc > 1 ? std::max(3, std::atoi(argv[1])) : 9;
    std::vector<Clip> clips;
    for (int i = 2; i < argc; ++i)
        clips.push_back({argv[i], 25, 250, true});
    if (clips.empty())
        clips = defaultClips();

    std::printf("%d repeats; service = MCI command strings (MciService), engine = raw libmpv defaults\n", repeats);
    for (const Clip& clip : clips) {
        std::printf("\n%s\n", clip.path.c_str());
        std::vector<Row> rows;
        benchClip(clip, repeats, rows);
        print(rows);
    }
    return 0;
}
