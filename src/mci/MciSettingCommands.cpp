#include "mci/MciSettingCommands.h"

#include "mci/MciContext.h"
#include "mci/MciInstance.h"

namespace mci {

ErrorCode handleSet(MciContext& context, const MciCommand& command, std::string&)
{
    TimeFormat format;
    if (!MciTimeFormat::fromName(command.get(Kw::TimeFormat).text, format))
        return MCIERR_BAD_TIME_FORMAT;
    context.instance->timeFormat = format;
    return MCI_OK;
}

ErrorCode handleSetaudio(MciContext& context, const MciCommand& command, std::string&)
{
    if (!command.has(Kw::VolumeTo))
        return MCIERR_MISSING_PARAMETER;
    const int64_t volume = command.get(Kw::VolumeTo).number;
    if (volume < 0 || volume > 1000)
        return MCIERR_OUTOFRANGE;
    return context.instance->device->setVolume(static_cast<int>(volume));
}

ErrorCode handleConfigure(MciContext&, const MciCommand&, std::string&)
{
    return MCIERR_UNSUPPORTED_FUNCTION;  // no device here has a configuration dialog
}

} // namespace mci
