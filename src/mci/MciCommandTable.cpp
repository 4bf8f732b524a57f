#include "mci/MciCommandTable.h"

#include "mci/MciDisplayCommands.h"
#include "mci/MciOpenCommands.h"
#include "mci/MciQueryCommands.h"
#include "mci/MciSettingCommands.h"
#include "mci/MciTransportCommands.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace mci {

namespace {

constexpr int kItem = 1;  // the one-of group of query items

KeywordDecl keyword(const char* phrase, ArgType type, int group = 0, bool needsElement = false,
                    std::vector<std::string> choices = {})
{
    KeywordDecl decl;
    decl.phrase = phrase;
    decl.type = type;
    decl.group = group;
    decl.needsElement = needsElement;
    decl.choices = std::move(choices);
    return decl;
}
KeywordDecl flag(const char* phrase) { return keyword(phrase, ArgType::Flag); }
KeywordDecl item(const char* phrase, bool needsElement = false)
{
    return keyword(phrase, ArgType::Flag, kItem, needsElement);
}
KeywordDecl arg(const char* phrase, ArgType type) { return keyword(phrase, type); }
KeywordDecl choice(const char* phrase, std::vector<std::string> choices, int group = 0)
{
    return keyword(phrase, ArgType::Choice, group, false, std::move(choices));
}

std::vector<CommandDecl> standardCommands()
{
    using T = TargetKind;
    using A = ArgType;
    return {
        {"open", T::OpenTarget,
         {arg("alias", A::Text), arg("type", A::Text), flag("shareable"), arg("style", A::Text),
          arg("parent", A::Integer)},
         handleOpen},
        {"close", T::AllOrInstance, {}, handleClose},
        {"play", T::Instance,
         {flag("reverse"), arg("from", A::Position), arg("to", A::Position)},
         handlePlay, true},
        {"stop", T::Instance, {}, handleStop, true},
        {"pause", T::Instance, {}, handlePause, true},
        {"resume", T::Instance, {}, handleResume, true},
        {"seek", T::Instance, {arg("to", A::Position)}, handleSeek, true},
        {"step", T::Instance, {flag("reverse"), arg("by", A::Integer)}, handleStep, true},
        {"status", T::Instance,
         {item("position", true), item("length", true), item("mode"), item("ready"),
          item("nominal frame rate", true), item("frame rate", true), item("time format"),
          item("volume"), item("media present"), item("start position", true)},
         handleStatus, false, true},
        {"set", T::Instance,
         {choice("time format", {"frames", "milliseconds", "ms"}, kItem)},
         handleSet, false, true},
        {"capability", T::Instance,
         {item("can reverse"), item("can save"), item("can stretch"), item("can play"),
          item("can record"), item("can eject"), item("can freeze"), item("has audio"),
          item("has video"), item("uses files"), item("compound device"), item("device type"),
          item("windows")},
         handleCapability, false, true},
        {"where", T::Instance, {item("source", true), item("destination", true)}, handleWhere, true,
         true},
        {"put", T::Instance, {arg("destination at", A::Rect), arg("window at", A::Rect)}, handlePut,
         true},
        {"window", T::Instance,
         {arg("handle", A::Handle),
          choice("state", {"show normal", "show maximized", "show minimized", "show min noactive",
                           "show noactivate", "show na", "show", "hide", "maximize", "minimize",
                           "restore"}),
          arg("text", A::Text)},
         handleWindow, true},
        {"update", T::Instance, {}, handleUpdate, true},
        {"setaudio", T::Instance, {arg("volume to", A::Integer)}, handleSetaudio},
        {"configure", T::Instance, {}, handleConfigure},
        {"capture", T::Instance, {arg("as", A::Rest)}, handleCapture, true},
        {"info", T::Instance, {item("product"), item("file", true)}, handleInfo, false, true},
        {"sysinfo", T::Sysinfo,
         {item("quantity"), keyword("name", A::Integer, kItem), flag("open")},
         handleSysinfo, false, true},
    };
}

std::vector<std::string> splitWords(const std::string& phrase)
{
    std::vector<std::string> out;
    std::istringstream in(phrase);
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

MciCommandTable::MciCommandTable(std::vector<CommandDecl> commands) : commands_(std::move(commands))
{
    // Every command accepts these. Commands are answered synchronously, so "wait" only
    // changes play, seek and step (they return at once otherwise); there is no window to notify.
    for (CommandDecl& command : commands_) {
        command.keywords.push_back(flag("wait"));
        command.keywords.push_back(flag("notify"));
        for (KeywordDecl& keyword : command.keywords)
            keyword.words = splitWords(keyword.phrase);
    }
}

const MciCommandTable& MciCommandTable::standard()
{
    static const MciCommandTable table(standardCommands());
    return table;
}

const CommandDecl* MciCommandTable::find(const std::string& name) const
{
    const std::string wanted = lower(name);
    for (const CommandDecl& command : commands_)
        if (command.name == wanted)
            return &command;
    return nullptr;
}

} // namespace mci
