#include "mci/MciExtensionTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace mci {

namespace {

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return {};
    const size_t end = text.find_last_not_of(blanks);
    return text.substr(begin, end - begin + 1);
}

// "[name]" gives true and the trimmed name.
bool sectionName(const std::string& line, std::string& name)
{
    if (line.size() < 2 || line.front() != '[')
        return false;
    const size_t close = line.find(']');
    if (close == std::string::npos)
        return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

} // namespace

MciExtensionTable::MciExtensionTable(std::vector<Entry> entries) : entries_(std::move(entries)) {}

MciExtensionTable MciExtensionTable::builtIn()
{
    std::vector<Entry> entries = {{"avi", "avivideo"}};
    for (const char* ext : {"mpg", "mpeg", "mpa", "mpv", "dat", "mp4", "m4v", "mkv", "webm", "mov", "qt",
                            "ogv", "wmv", "asf", "flv", "f4v", "ts", "mts", "m2ts", "m2v", "vob", "3gp",
                            "3g2", "divx", "rm", "rmvb", "y4m", "nut"})
        entries.push_back({ext, "mpegvideo"});
    for (const char* ext : {"wav", "mp3", "mp2", "flac", "ogg", "oga", "opus", "m4a", "aac", "ac3", "wma",
                            "aif", "aiff", "au", "mka"})
        entries.push_back({ext, "waveaudio"});
    entries.push_back({"mid", "sequencer"});
    entries.push_back({"midi", "sequencer"});
    entries.push_back({"rmi", "sequencer"});
    entries.push_back({"cda", "cdaudio"});
    return MciExtensionTable(std::move(entries));
}

MciExtensionTable MciExtensionTable::fromIniText(const std::string& text)
{
    std::vector<Entry> entries;
    std::istringstream in(text);
    bool inSection = false;
    bool sectionDone = false;
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        first = false;
        line = trimmed(line);
        std::string name;
        if (sectionName(line, name)) {
            // Only the first section of that name counts, as the profile functions read it.
            if (inSection)
                sectionDone = true;
            inSection = !sectionDone && strcasecmp(name.c_str(), "mci extensions") == 0;
            continue;
        }
        if (!inSection || line.empty() || line[0] == ';')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        if (!key.empty())
            entries.push_back({key, trimmed(line.substr(equals + 1))});
    }
    return MciExtensionTable(std::move(entries));
}

std::string MciExtensionTable::iniPath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return base + "/Vantu/win.ini";
}

MciExtensionTable MciExtensionTable::load()
{
    const std::string path = iniPath();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return builtIn();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return builtIn();
    std::ostringstream text;
    text << file.rdbuf();
    return fromIniText(text.str());
}

std::string MciExtensionTable::deviceFor(const std::string& extension) const
{
    for (const Entry& entry : entries_)
        if (strcasecmp(entry.extension.c_str(), extension.c_str()) == 0)
            return entry.device;
    return {};
}

} // namespace mci
