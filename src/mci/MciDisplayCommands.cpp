#include "mci/MciDisplayCommands.h"

#include "mci/MciContext.h"
#include "mci/MciInstance.h"

namespace mci {

namespace {

bool hides(const std::string& state)
{
    return state == "hide" || state == "minimize" || state == "show minimized" ||
           state == "show min noactive";
}

} // namespace

ErrorCode handlePut(MciContext& context, const MciCommand& command, std::string&)
{
    MciDevice& device = *context.instance->device;
    if (!command.has(Kw::DestinationAt) && !command.has(Kw::WindowAt))
        return MCIERR_MISSING_PARAMETER;
    if (command.has(Kw::DestinationAt)) {
        if (const ErrorCode error = device.putDestination(command.get(Kw::DestinationAt).rect))
            return error;
    }
    if (command.has(Kw::WindowAt))
        return device.putWindow(command.get(Kw::WindowAt).rect);
    return MCI_OK;
}

ErrorCode handleWindow(MciContext& context, const MciCommand& command, std::string&)
{
    MciDevice& device = *context.instance->device;
    if (!command.has(Kw::Handle) && !command.has(Kw::State) && !command.has(Kw::Text))
        return MCIERR_MISSING_PARAMETER;
    if (command.has(Kw::Handle)) {
        const MciValue& handle = command.get(Kw::Handle);
        const uint64_t window = handle.isDefault ? 0 : static_cast<uint64_t>(handle.number);
        if (const ErrorCode error = device.setWindowHandle(window))
            return error;
    }
    if (command.has(Kw::State))
        return device.showWindow(!hides(command.get(Kw::State).text));
    return MCI_OK;  // a caption ("text") is accepted; our windows carry none
}

ErrorCode handleUpdate(MciContext& context, const MciCommand&, std::string&)
{
    return context.instance->device->update();
}

ErrorCode handleCapture(MciContext& context, const MciCommand& command, std::string&)
{
    if (!command.has(Kw::As))
        return MCIERR_MISSING_PARAMETER;
    const std::string& path = command.get(Kw::As).text;
    if (path.empty())
        return MCIERR_FILENAME_REQUIRED;
    return context.instance->device->capture(path);
}

} // namespace mci
