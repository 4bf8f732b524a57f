#include "mci/MciCommandTable.h"

#include "mci/MciCapabilityItems.h"
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

KeywordDecl keyword(Kw id, const char* phrase, ArgType type, int group = 0, bool needsElement = false,
                    std::vector<std::string> choices = {})
{
    KeywordDecl decl;
    decl.id = id;
    decl.phrase = phrase;
    decl.type = type;
    decl.group = group;
    decl.needsElement = needsElement;
    decl.choices = std::move(choices);
    return decl;
}
KeywordDecl flag(Kw id, const char* phrase) { return keyword(id, phrase, ArgType::Flag); }
KeywordDecl item(Kw id, const char* phrase, bool needsElement = false)
{
    return keyword(id, phrase, ArgType::Flag, kItem, needsElement);
}
KeywordDecl arg(Kw id, const char* phrase, ArgType type) { return keyword(id, phrase, type); }
KeywordDecl choice(Kw id, const char* phrase, std::vector<std::string> choices, int group = 0)
{
    return keyword(id, phrase, ArgType::Choice, group, false, std::move(choices));
}

std::vector<KeywordDecl> capabilityKeywords()
{
    std::vector<KeywordDecl> items;
    for (const CapabilityItem& c : capabilityItems())
        items.push_back(item(c.id, c.phrase));
    return items;
}

std::vector<CommandDecl> standardCommands()
{
    using T = TargetKind;
    using A = ArgType;
    return {
        {"open", T::OpenTarget,
         {arg(Kw::Alias, "alias", A::Text), arg(Kw::Type, "type", A::Text), flag(Kw::Shareable, "shareable"),
          arg(Kw::Style, "style", A::Text), arg(Kw::Parent, "parent", A::Integer)},
         handleOpen},
        {"close", T::AllOrInstance, {}, handleClose},
        {"play", T::Instance,
         {flag(Kw::Reverse, "reverse"), arg(Kw::From, "from", A::Position), arg(Kw::To, "to", A::Position)},
         handlePlay, true},
        {"stop", T::Instance, {}, handleStop, true},
        {"pause", T::Instance, {}, handlePause, true},
        {"resume", T::Instance, {}, handleResume, true},
        {"seek", T::Instance, {arg(Kw::To, "to", A::Position)}, handleSeek, true},
        {"step", T::Instance, {flag(Kw::Reverse, "reverse"), arg(Kw::By, "by", A::Integer)}, handleStep, true},
        {"status", T::Instance,
         {item(Kw::Position, "position", true), item(Kw::Length, "length", true), item(Kw::Mode, "mode"),
          item(Kw::Ready, "ready"), item(Kw::NominalFrameRate, "nominal frame rate", true),
          item(Kw::FrameRate, "frame rate", true), item(Kw::TimeFormat, "time format"),
          item(Kw::Volume, "volume"), item(Kw::MediaPresent, "media present"),
          item(Kw::StartPosition, "start position", true), item(Kw::Indexed, "indexed")},
         handleStatus, false, true},
        {"set", T::Instance,
         {choice(Kw::TimeFormat, "time format", {"frames", "milliseconds", "ms"}, kItem)},
         handleSet, false, true},
        {"capability", T::Instance, capabilityKeywords(), handleCapability, false, true},
        {"where", T::Instance, {item(Kw::Source, "source", true), item(Kw::Destination, "destination", true)},
         handleWhere, true, true},
        {"put", T::Instance,
         {arg(Kw::DestinationAt, "destination at", A::Rect), arg(Kw::WindowAt, "window at", A::Rect)}, handlePut,
         true},
        {"window", T::Instance,
         {arg(Kw::Handle, "handle", A::Handle),
          choice(Kw::State, "state",
                 {"show normal", "show maximized", "show minimized", "show min noactive", "show noactivate",
                  "show na", "show", "hide", "maximize", "minimize", "restore"}),
          arg(Kw::Text, "text", A::Text)},
         handleWindow, true},
        {"update", T::Instance, {}, handleUpdate, true},
        {"setaudio", T::Instance, {arg(Kw::VolumeTo, "volume to", A::Integer)}, handleSetaudio},
        {"configure", T::Instance, {}, handleConfigure},
        {"capture", T::Instance, {arg(Kw::As, "as", A::Rest)}, handleCapture, true},
        {"info", T::Instance, {item(Kw::Product, "product"), item(Kw::File, "file", true)}, handleInfo, false,
         true},
        {"sysinfo", T::Sysinfo,
         {item(Kw::Quantity, "quantity"), keyword(Kw::Name, "name", A::Integer, kItem), flag(Kw::Open, "open")},
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
        command.keywords.push_back(flag(Kw::Wait, "wait"));
        command.keywords.push_back(flag(Kw::Notify, "notify"));
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
