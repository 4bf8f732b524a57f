// Random command sequences through the whole service on the real video device,
// headless, on generated clips. The input is a small program: each command is
// chosen by one byte and its arguments by the bytes after it, so the fuzzer
// explores sequences (open, play, seek while playing, step past the end, capture,
// close, reopen) rather than spellings, which fuzz_parser covers.
//
// It speaks only command strings, so it keeps working whatever the device does
// inside. What must hold, besides no crash, leak or hang: every reply is
// terminated inside its buffer; an open medium's position lies inside its length;
// a seek with "wait" in frames shows the asked frame (clamped to the medium); the
// mode is one of the five.
//
// One byte in twenty-one changes a file under the open device instead of sending a
// command: a copy of a clip is cut short, has bytes overwritten, is deleted, or has
// another file put in its place; each input starts from a fresh copy. The device
// must answer errors then, or go on with what it opened, but never crash or hang.
//
// Not sent: "window ... handle N" with a handle other than "default" (a window
// that is no window must first be refused by the device), and "play ... wait"
// (it lasts as long as the clip).
#include "StampedClip.h"
#include "mci/MciService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using keldtest::ClipKind;
using keldtest::StampedClip;

std::vector<std::string> g_media;      // clips, plus a few things that are no clip
std::vector<std::string> g_captures;   // where captures go, a FIFO and a folder among them
mci::MciService* g_service = nullptr;
std::string g_live;         // the clip copy that changes while open
std::string g_liveSource;   // what it is a copy of
std::string g_other;        // another clip, to put in its place

// Reads the input a byte at a time; past its end every byte is 0.
class Program {
public:
    Program(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T> const T& pick(const std::vector<T>& from) { return from[byte() % from.size()]; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

const std::vector<std::string> kAliases = {"vid", "v2", "all"};
const std::vector<std::string> kNumbers = {"0",  "1",   "2",   "5",          "10",         "49",
                                           "50", "74",  "89",  "99",         "100",        "1000",
                                           "-1", "-50", "2147483647", "9223372036854775807", "-9223372036854775808"};
const std::vector<std::string> kStatus = {"position", "length",  "mode",          "ready",
                                          "frame rate", "nominal frame rate", "time format", "volume",
                                          "media present", "start position", "indexed"};
const std::vector<std::string> kCapabilities = {"can reverse", "can save", "can stretch", "can play",
                                                "has audio",   "has video", "device type", "windows"};

std::string number(Program& p) { return p.pick(kNumbers); }

// A fresh copy of the changing clip, for each input.
void restoreLive()
{
    QFile::remove(QString::fromStdString(g_live));
    if (!QFile::copy(QString::fromStdString(g_liveSource), QString::fromStdString(g_live)))
        std::abort();
}

// Changes the clip copy under whatever has it open.
void changeLive(Program& p)
{
    struct stat s {};
    const uint8_t how = p.byte();
    if (::stat(g_live.c_str(), &s) != 0) {
        restoreLive();
        return;
    }
    switch (how % 4) {
    case 0:
        (void)::truncate(g_live.c_str(), s.st_size * (how >> 2) / 64);
        break;
    case 1: {
        const int fd = ::open(g_live.c_str(), O_WRONLY);
        if (fd < 0)
            return;
        for (int i = 0; i < 1 + (how >> 5); ++i) {
            const uint8_t junk = p.byte();
            const off_t at = off_t(s.st_size * p.byte() / 256);
            (void)!::pwrite(fd, &junk, 1, at);
        }
        ::close(fd);
        break;
    }
    case 2:
        ::unlink(g_live.c_str());
        break;
    default: {
        const std::string next = g_live + ".new";
        QFile::remove(QString::fromStdString(next));
        if (QFile::copy(QString::fromStdString(g_other), QString::fromStdString(next)))
            std::rename(next.c_str(), g_live.c_str());
        break;
    }
    }
}

// One command of the program.
std::string nextCommand(Program& p)
{
    const std::string a = p.pick(kAliases);
    switch (p.byte() % 21) {
    case 0: {
        const std::string& medium = p.pick(g_media);
        return "open \"" + medium + "\"" + (p.byte() % 2 ? " type mpegvideo" : "") + " alias " + a;
    }
    case 1: return "close " + a;
    case 2: {
        std::string c = "play " + a;
        const uint8_t flags = p.byte();
        if (flags & 1) c += " reverse";
        if (flags & 2) c += " from " + number(p);
        if (flags & 4) c += " to " + number(p);
        return c;
    }
    case 3: return "pause " + a;
    case 4: return "resume " + a;
    case 5: return "stop " + a;
    case 6: {
        const uint8_t how = p.byte();
        const std::string to = how % 3 == 0 ? "start" : how % 3 == 1 ? "end" : number(p);
        return "seek " + a + " to " + to + (how & 4 ? " wait" : "");
    }
    case 7: {
        const uint8_t how = p.byte();
        return "step " + a + (how & 1 ? " by " + number(p) : "") + (how & 2 ? " reverse" : "");
    }
    case 8: return "status " + a + " " + p.pick(kStatus);
    case 9: return "set " + a + " time format " + (p.byte() % 2 ? "frames" : "milliseconds");
    case 10: return "capture " + a + " as " + p.pick(g_captures);
    case 11: return "where " + a + (p.byte() % 2 ? " source" : " destination");
    case 12: return "put " + a + " destination at 0 0 " + number(p) + " " + number(p);
    case 13: return "setaudio " + a + " volume to " + number(p);
    case 14: return "capability " + a + " " + p.pick(kCapabilities);
    case 15: return "info " + a + (p.byte() % 2 ? " product" : " file");
    case 16: return "window " + a + (p.byte() % 2 ? " state hide" : " handle default");
    case 17: return "update " + a;
    case 18: return p.byte() % 2 ? "sysinfo all quantity open" : "sysinfo all name " + number(p);
    case 19: return "configure " + a;
    default:
        changeLive(p);
        return "status " + a + " mode";
    }
}

mci::ErrorCode send(const std::string& command, std::string& reply)
{
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    const mci::ErrorCode code = g_service->sendString(command.c_str(), buffer, 255);
    if (std::memchr(buffer, '\0', 255) == nullptr)
        std::abort();   // the reply must end inside the buffer
    reply = buffer;
    return code;
}

bool askNumber(const std::string& command, int64_t& value)
{
    std::string reply;
    if (send(command, reply) != mci::MCI_OK || reply.empty())
        return false;
    char* end = nullptr;
    value = std::strtoll(reply.c_str(), &end, 10);
    return *end == '\0';
}

// What must hold for every alias that is open after each command.
void checkOpenMedium(const std::string& alias)
{
    std::string reply;
    if (send("status " + alias + " mode", reply) != mci::MCI_OK)
        return;   // not open, or a bare device
    static const char* const modes[] = {"not ready", "playing", "paused", "stopped", "seeking"};
    if (std::none_of(std::begin(modes), std::end(modes), [&](const char* m) { return reply == m; }))
        std::abort();
    int64_t length = 0;
    int64_t position = 0;
    if (askNumber("status " + alias + " length", length) && askNumber("status " + alias + " position", position)
        && length > 0 && (position < 0 || position >= length))
        std::abort();
}

// "seek ... wait" in frames shows the frame asked for, held within the medium.
void checkSeekLanded(const std::string& command, mci::ErrorCode code)
{
    const size_t to = command.find(" to ");
    if (code != mci::MCI_OK || command.rfind("seek ", 0) != 0 || command.find(" wait") == std::string::npos)
        return;
    const std::string alias = command.substr(5, to - 5);
    std::string format;
    int64_t length = 0;
    if (alias == "all" || send("status " + alias + " time format", format) != mci::MCI_OK || format != "frames"
        || !askNumber("status " + alias + " length", length) || length <= 0)
        return;
    const std::string target = command.substr(to + 4, command.find(" wait") - to - 4);
    int64_t wanted = target == "start" ? 0 : target == "end" ? length - 1 : std::strtoll(target.c_str(), nullptr, 10);
    wanted = std::clamp<int64_t>(wanted, 0, length - 1);
    int64_t shown = -1;
    if (askNumber("status " + alias + " position", shown) && shown != wanted)
        std::abort();
}

void makeWorld(const QString& scratch)
{
    // Clips are made once and kept between runs (scripts/fuzz points KELD_TEST_TMP at them).
    for (ClipKind kind : {ClipKind::AviMjpeg, ClipKind::Mp4H264, ClipKind::MpegPs, ClipKind::WebmVp9,
                          ClipKind::MkvVfr, ClipKind::AudioOnly}) {
        const QString path = StampedClip::get(kind).path;
        if (path.isEmpty())
            std::abort();   // without clips the run would test nothing
        g_media.push_back(path.toStdString());
    }
    g_liveSource = g_media[1];
    g_other = g_media[2];
    g_live = (scratch + "/live.mp4").toStdString();
    restoreLive();
    g_media.push_back(g_live);
    g_media.push_back(StampedClip::writeBytes("fuzz_noise.avi", QByteArray(4096, '\x5a')).toStdString());
    g_media.push_back((scratch + "/missing.mp4").toStdString());
    g_media.push_back(scratch.toStdString());
    QDir(scratch).mkpath("caps");
    const std::string fifo = (scratch + "/caps/fifo.bmp").toStdString();
    ::mkfifo(fifo.c_str(), 0600);
    g_captures = {(scratch + "/caps/a.bmp").toStdString(), (scratch + "/caps/b c.bmp").toStdString(),
                  "\"" + (scratch + "/caps/quoted.bmp").toStdString() + "\"", fifo,
                  (scratch + "/caps").toStdString(), (scratch + "/no/such/dir/x.bmp").toStdString()};
    static mci::MciService service;
    g_service = &service;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    std::setlocale(LC_NUMERIC, "C");   // libmpv refuses to start under another numeric locale
    qputenv("KELD32_MCI_HEADLESS", "1");
    // Every medium is indexed in the background, so that commands and changes to the
    // file meet a scan under way.
    qputenv("KELD32_SCAN_AT_OPEN_MIB", "0");
    // The built-in extension table, whatever the user's win.ini says.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    static QTemporaryDir scratch;
    makeWorld(scratch.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Program program(data, size);
    std::string reply;
    for (int n = 0; n < 24 && !program.done(); ++n) {
        const std::string command = nextCommand(program);
        const mci::ErrorCode code = send(command, reply);
        checkSeekLanded(command, code);
        checkOpenMedium("vid");
        checkOpenMedium("v2");
    }
    // Every input starts from nothing open, and the changing clip whole again.
    send("close all", reply);
    restoreLive();
    return 0;
}
