#include "mci/MciQueryCommands.h"

#include "mci/MciContext.h"
#include "mci/MciDeviceTable.h"
#include "mci/MciInstanceTable.h"

#include <strings.h>
#include <vector>

namespace mci {

namespace {

const char* boolText(bool value)
{
    return value ? "true" : "false";
}

const char* modeText(DeviceMode mode)
{
    switch (mode) {
    case DeviceMode::NotReady: return "not ready";
    case DeviceMode::Playing: return "playing";
    case DeviceMode::Paused: return "paused";
    case DeviceMode::Stopped: return "stopped";
    case DeviceMode::Seeking: return "seeking";
    }
    return "not ready";
}

std::string rectText(const Rect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) + " " +
           std::to_string(r.height);
}

std::string statusItem(MciInstance& instance, const MciCommand& command)
{
    MciDevice& device = *instance.device;
    if (command.has("position"))
        return std::to_string(instance.toCaller(device.position()));
    if (command.has("length"))
        return std::to_string(instance.toCaller(device.length()));
    if (command.has("start position"))
        return "0";
    if (command.has("mode"))
        return modeText(device.mode());
    if (command.has("ready"))
        return boolText(device.ready());
    if (command.has("nominal frame rate") || command.has("frame rate"))
        return std::to_string(device.nominalFrameRate1000());
    if (command.has("time format"))
        return MciTimeFormat::name(instance.timeFormat);
    if (command.has("volume"))
        return std::to_string(device.volume());
    return boolText(device.hasElement());  // "media present"
}

std::string capabilityItem(const DeviceCapabilities& c, const MciCommand& command)
{
    const std::pair<const char*, bool> flags[] = {
        {"can reverse", c.canReverse}, {"can save", c.canSave},     {"can stretch", c.canStretch},
        {"can play", c.canPlay},       {"can record", c.canRecord}, {"can eject", c.canEject},
        {"can freeze", c.canFreeze},   {"has audio", c.hasAudio},   {"has video", c.hasVideo},
        {"uses files", c.usesFiles},   {"compound device", c.compoundDevice},
    };
    for (const auto& [name, value] : flags)
        if (command.has(name))
            return boolText(value);
    if (command.has("windows"))
        return c.windows ? "1" : "0";  // MCI answers the number of windows it can show
    return c.deviceType;  // "device type"
}

// The names "sysinfo" counts: installed devices, or open aliases, of the target.
ErrorCode sysinfoNames(MciContext& context, const MciCommand& command, std::vector<std::string>& names)
{
    const std::string& target = command.target;
    const bool all = strcasecmp(target.c_str(), "all") == 0;
    if (!all && !context.devices.findType(target) && !context.devices.find(target))
        return MCIERR_INVALID_DEVICE_NAME;
    auto wanted = [&](const std::string& name) {
        const MciDeviceTable::Entry* entry = context.devices.find(name);
        return all || (entry && (strcasecmp(entry->type.c_str(), target.c_str()) == 0 ||
                                 strcasecmp(entry->name.c_str(), target.c_str()) == 0));
    };
    if (command.has("open")) {
        for (size_t i = 0; i < context.instances.size(); ++i)
            if (wanted(context.instances.at(i).deviceName))
                names.push_back(context.instances.at(i).alias);
    } else {
        for (const MciDeviceTable::Entry& entry : context.devices.entries())
            if (wanted(entry.name))
                names.push_back(entry.name);
    }
    return MCI_OK;
}

} // namespace

ErrorCode handleStatus(MciContext& context, const MciCommand& command, std::string& reply)
{
    reply = statusItem(*context.instance, command);
    return MCI_OK;
}

ErrorCode handleCapability(MciContext& context, const MciCommand& command, std::string& reply)
{
    reply = capabilityItem(context.instance->device->capabilities(), command);
    return MCI_OK;
}

ErrorCode handleWhere(MciContext& context, const MciCommand& command, std::string& reply)
{
    MciDevice& device = *context.instance->device;
    reply = rectText(command.has("source") ? device.source() : device.destination());
    return MCI_OK;
}

ErrorCode handleInfo(MciContext& context, const MciCommand& command, std::string& reply)
{
    const MciInstance& instance = *context.instance;
    reply = command.has("file") ? instance.element : "KELD32 " + instance.deviceName + " on libmpv";
    return MCI_OK;
}

ErrorCode handleSysinfo(MciContext& context, const MciCommand& command, std::string& reply)
{
    std::vector<std::string> names;
    if (const ErrorCode error = sysinfoNames(context, command, names))
        return error;
    if (command.has("quantity")) {
        reply = std::to_string(names.size());
        return MCI_OK;
    }
    const int64_t n = command.get("name").number;  // 1-based
    if (n < 1 || static_cast<uint64_t>(n) > names.size())
        return MCIERR_OUTOFRANGE;
    reply = names[static_cast<size_t>(n - 1)];
    return MCI_OK;
}

} // namespace mci
