// Navigation through the MCI command strings, timed as a user meets it, beside raw
// libmpv's own exact seek and frame-back-step on the same clip in the same run.
//   navigation [--window] [clip ...]
// Without clips it makes (once, under $KELD_BENCH_DIR or /tmp/keld-bench) 1080p H.264
// with a key frame every 250 frames, 1080p HEVC (every 240), 720p VP9 (every 120), and
// MPEG-2 as program and transport stream. Every step and seek is sent with "wait": it
// returns when the frame is on display. --window draws into an X window of the
// picture's size (needs DISPLAY); otherwise nothing is drawn, as libmpv's vo=null.
#include "mci/MciService.h"

#include <mpv/client.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
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

struct Figures {
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    double at(double q) const
    {
        if (v.empty())
            return 0;
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, size_t(q * double(s.size() - 1) + 0.5))];
    }
    double median() const { return at(0.5); }
    double p95() const { return at(0.95); }
    double max() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
};

double residentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

std::string benchDir()
{
    const char* dir = std::getenv("KELD_BENCH_DIR");
    const std::string d = dir && *dir ? dir : "/tmp/keld-bench";
    std::system(("mkdir -p '" + d + "'").c_str());
    return d;
}

std::string makeClip(const std::string& name, const std::string& args)
{
    const std::string path = benchDir() + "/" + name;
    if (std::ifstream(path).good())
        return path;
    std::printf("making %s ...\n", path.c_str());
    std::fflush(stdout);
    const std::string cmd = "ffmpeg -hide_banner -loglevel error -y " + args + " '" + path + "'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", cmd.c_str());
        std::exit(1);
    }
    return path;
}

std::vector<std::string> defaultClips()
{
    const std::string src = "-f lavfi -i testsrc2=s=";
    return {
        makeClip("h264_1080p_gop250.mp4", src + "1920x1080:r=25:d=60 -f lavfi -i sine=d=60 -c:v libx264 -preset "
                                          "veryfast -bf 3 -g 250 -keyint_min 250 -sc_threshold 0 -pix_fmt yuv420p "
                                          "-c:a aac -shortest"),
        makeClip("hevc_1080p_gop240.mkv", src + "1920x1080:r=25:d=30 -c:v libx265 -preset ultrafast -x265-params "
                                          "keyint=240:min-keyint=240:scenecut=0:bframes=3:log-level=error"),
        makeClip("vp9_720p_gop120.webm", src + "1280x720:r=25:d=30 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 "
                                         "-g 120 -b:v 2M"),
        makeClip("mpeg2_480p_gop15.mpg", src + "720x480:r=25:d=30 -c:v mpeg2video -q:v 3 -g 15 -bf 2 -f vob"),
        makeClip("mpeg2_480p_gop15.ts", src + "720x480:r=25:d=30 -c:v mpeg2video -q:v 3 -g 15 -bf 2 -f mpegts"),
    };
}

// ---- raw libmpv: its own exact seek and back step ------------------------------
struct Engine {
    mpv_handle* h = nullptr;

    void open(const std::string& path)
    {
        h = mpv_create();
        const char* opts[][2] = {{"vo", "null"}, {"ao", "null"}, {"pause", "yes"}, {"keep-open", "yes"},
                                 {"idle", "yes"}, {"hr-seek", "yes"}, {"config", "no"}};
        for (auto& o : opts)
            mpv_set_option_string(h, o[0], o[1]);
        mpv_initialize(h);
        const char* cmd[] = {"loadfile", path.c_str(), nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
    }
    void close() { mpv_terminate_destroy(h); }
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
    double seek(double t)
    {
        drain();
        const auto t0 = Clock::now();
        const std::string s = std::to_string(t);
        const char* cmd[] = {"seek", s.c_str(), "absolute+exact", nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
        return msSince(t0);
    }
    double backStep()
    {
        drain();
        const auto t0 = Clock::now();
        const char* cmd[] = {"frame-back-step", nullptr};
        mpv_command(h, cmd);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
        return msSince(t0);
    }
};

// ---- the MCI service ---------------------------------------------------------------
struct Service {
    mci::MciService service;
    std::string reply;
    bool send(const std::string& cmd) { return service.send(cmd, reply) == 0; }
    long long number(const std::string& cmd)
    {
        send(cmd);
        return std::atoll(reply.c_str());
    }
    double timed(const std::string& cmd)
    {
        const auto t0 = Clock::now();
        send(cmd);
        return msSince(t0);
    }
};

void row(const char* what, const Figures& f, const char* note = "")
{
    std::printf("  %-44s %8.1f %8.1f %8.1f %5zu  %s\n", what, f.median(), f.p95(), f.max(), f.v.size(), note);
}

void header(const std::string& clip)
{
    std::printf("\n%s\n  %-44s %8s %8s %8s %5s\n", clip.c_str(), "operation (ms unless named)", "median", "p95",
                "slowest", "n");
}

struct TestWindow {
    Display* dpy = nullptr;
    TestWindow() = default;
    unsigned long make(int w, int h)
    {
        dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return 0;
        const ::Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, unsigned(w), unsigned(h), 0, 0, 0);
        XMapWindow(dpy, win);
        XSync(dpy, False);
        return win;
    }
};

void measure(const std::string& path, bool window)
{
    header(path);
    const double rssBefore = residentMiB();
    Service s;
    Figures open;
    const auto t0 = Clock::now();
    if (!s.send("open \"" + path + "\" alias vid")) {
        std::printf("  cannot open: %s\n", s.reply.c_str());
        return;
    }
    open.add(msSince(t0));
    s.send("set vid time format frames");
    const long long length = s.number("status vid length");
    const double fps = double(s.number("status vid nominal frame rate")) / 1000;
    s.send("where vid source");
    int sw = 0, sh = 0;
    std::sscanf(s.reply.c_str(), "%*d %*d %d %d", &sw, &sh);
    TestWindow x;
    std::vector<std::string> attach;
    if (window) {
        attach = {"window vid handle " + std::to_string(x.make(sw, sh)),
                  "put vid destination at 0 0 " + std::to_string(sw) + " " + std::to_string(sh)};
        for (const auto& cmd : attach)
            s.send(cmd);
    }
    row("open to first frame", open);

    // What the device holds once it has filled its cache around a position.
    s.send("seek vid to " + std::to_string(length / 2) + " wait");
    std::this_thread::sleep_for(std::chrono::seconds(4));
    const double rssDevice = residentMiB();

    Engine engine;
    engine.open(path);

    // The step pattern: paused 3 s on a frame 12 past a key frame, then 3, 10 and 25
    // back and forward (the 25 back cross the key frame).
    const long long gop = path.find("gop250") != std::string::npos   ? 250
                          : path.find("gop240") != std::string::npos ? 240
                          : path.find("gop120") != std::string::npos ? 120
                                                                     : 15;
    const long long key = std::min<long long>(length - 50, (1000 / gop) * gop);
    const long long at = key + 12;
    s.send("seek vid to " + std::to_string(at) + " wait");
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Figures steps;
    long long expect = at;
    bool exact = true;
    for (int run : {3, 10, 25}) {
        for (int dir : {-1, 1}) {
            for (int i = 0; i < run; ++i) {
                steps.add(s.timed(dir < 0 ? "step vid reverse wait" : "step vid wait"));
                expect += dir;
                exact = exact && s.number("status vid position") == expect;
            }
        }
    }
    row("step pattern 3/10/25 back and forward", steps, exact ? "every position exact" : "POSITION WRONG");

    Figures backSteps;
    engine.seek((double(at) + 0.5) / fps);
    for (int i = 0; i < 25; ++i)
        backSteps.add(engine.backStep());
    row("  engine: frame-back-step x25 from there", backSteps);

    // Cold: the first back step into a group nothing has decoded yet.
    Figures cold;
    Figures engineSeeks;
    std::mt19937 rng(7);
    for (int i = 0; i < 5; ++i) {
        // Opened afresh each time: nothing of the group before the key is decoded.
        const long long groups = std::max<long long>(2, (length - 1) / gop);
        const long long k = std::uniform_int_distribution<long long>(1, groups)(rng) * gop;
        s.send("close vid");
        s.send("open \"" + path + "\" alias vid");
        s.send("set vid time format frames");
        for (const auto& cmd : attach)
            s.send(cmd);
        s.send("seek vid to " + std::to_string(std::min(k, length - 1)) + " wait");
        cold.add(s.timed("step vid reverse wait"));
        engineSeeks.add(engine.seek((double(k) - 0.5) / fps));
    }
    row("first back step into an undecoded group", cold);
    row("  engine: exact seek to that frame", engineSeeks);

    Figures seeks;
    Figures engineSeek2;
    for (int i = 0; i < 9; ++i) {
        const long long n = std::uniform_int_distribution<long long>(0, length - 1)(rng);
        seeks.add(s.timed("seek vid to " + std::to_string(n) + " wait"));
        engineSeek2.add(engine.seek((double(n) + 0.5) / fps));
    }
    row("seek vid to N wait (random N)", seeks);
    row("  engine: exact seek, same targets", engineSeek2);

    // A dragged track bar: a seek every 30 ms, then the frame of the last one.
    Figures drag;
    Figures dragEngine;
    for (int r = 0; r < 5; ++r) {
        for (int i = 0; i < 15; ++i) {
            s.send("seek vid to " + std::to_string(std::uniform_int_distribution<long long>(0, length - 1)(rng)));
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        const long long n = std::uniform_int_distribution<long long>(0, length - 1)(rng);
        drag.add(s.timed("seek vid to " + std::to_string(n) + " wait"));
        dragEngine.add(engine.seek((double(n) + 0.5) / fps));
    }
    row("dragged track bar: last seek to its frame", drag);
    row("  engine: one exact seek to that frame", dragEngine);

    // A held step key: 30 steps a second without waiting, then how long until the
    // frame of the last one is on display.
    Figures held;
    for (int dir : {1, -1}) {
        s.send("seek vid to " + std::to_string(length / 2) + " wait");
        for (int i = 0; i < 45; ++i) {
            s.send(dir > 0 ? "step vid" : "step vid reverse");
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
        }
        held.add(s.timed("step vid by 0 wait"));
    }
    row("held step key 1.5 s: then to its frame", held, "forward, then backward");

    // Multi-step: a step every 100 ms, each with wait, as the panel's timer sends them.
    for (int dir : {1, -1}) {
        s.send("seek vid to " + std::to_string(dir > 0 ? length / 3 : 2 * length / 3) + " wait");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        Figures ms;
        const auto m0 = Clock::now();
        for (int i = 0; i < 30; ++i) {
            const auto due = m0 + std::chrono::milliseconds(100 * (i + 1));
            std::this_thread::sleep_until(due);
            ms.add(s.timed(dir > 0 ? "step vid wait" : "step vid reverse wait"));
        }
        const double rate = 30 / (msSince(m0) / 1000);
        char note[64];
        std::snprintf(note, sizeof note, "%.2f steps/s (goal 10)", rate);
        row(dir > 0 ? "multi-step forward 10/s: each step" : "multi-step reverse 10/s: each step", ms, note);
    }

    // Reverse play right after a seek: the exact seek, then how long until reverse
    // play shows the frame before it (the position names the frame on display).
    Figures seekBeforeReverse;
    Figures firstReverse;
    for (int i = 0; i < 5; ++i) {
        const long long n = std::uniform_int_distribution<long long>(length / 4, length - 2)(rng);
        seekBeforeReverse.add(s.timed("seek vid to " + std::to_string(n) + " wait"));
        const auto p0 = Clock::now();
        s.send("play vid reverse");
        while (s.number("status vid position") >= n && msSince(p0) < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        firstReverse.add(msSince(p0));
        s.send("pause vid");
    }
    row("seek vid to N wait, then play vid reverse", seekBeforeReverse, "the seek");
    row("  then to the first reverse frame", firstReverse);

    // Reverse play 10 s from the end.
    s.send("seek vid to " + std::to_string(length - 1) + " wait");
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const auto r0 = Clock::now();
    s.send("play vid reverse");
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const long long shown = length - 1 - s.number("status vid position");
    const double seconds = msSince(r0) / 1000;
    s.send("pause vid");
    char note[128];
    std::snprintf(note, sizeof note, "%.2f frames/s of %.2f nominal, %lld frames in order", shown / seconds, fps, shown);
    row("play vid reverse 10 s", Figures {}, note);

    const double rssPeak = residentMiB();
    engine.close();
    s.send("close vid");
    const double rssAfter = residentMiB();
    std::snprintf(note, sizeof note, "RSS %.0f MiB before open, %.0f with its cache full, %.0f at the end, %.0f after close",
                  rssBefore, rssDevice, rssPeak, rssAfter);
    row("memory", Figures {}, note);
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_NUMERIC, "C");
    // As the player does (src/platform/MallocArenas): one heap arena, so that the
    // memory of a closed medium goes back to the system.
    mallopt(M_ARENA_MAX, 1);
    bool window = false;
    std::vector<std::string> clips;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            window = std::getenv("DISPLAY") != nullptr;
        else
            clips.push_back(argv[i]);
    }
    if (!window)
        setenv("KELD32_MCI_HEADLESS", "1", 1);
    if (clips.empty())
        clips = defaultClips();
    std::printf("navigation through the MCI service%s; median, p95 and slowest in ms\n",
                window ? ", drawn into an X window" : ", headless");
    for (const auto& c : clips)
        measure(c, window);
    return 0;
}
