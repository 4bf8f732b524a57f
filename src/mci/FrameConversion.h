#pragma once
#include "mci/MciDevice.h"
#include "mci/MciError.h"
#include "mci/frames/AvInput.h"
#include "mci/frames/PictureRect.h"
#include "mci/frames/WindowResult.h"

// The frames library and the window speak their own types; the devices answer
// in the command service's.
namespace mci {

// A refused file (MCI_OK for Ok).
inline ErrorCode errorOf(AvInput::Result result)
{
    return result == AvInput::Result::NotFound ? MCIERR_FILE_NOT_FOUND
           : result == AvInput::Result::Invalid ? MCIERR_INVALID_FILE
                                                : MCI_OK;
}

// A window handed to the frame window.
inline ErrorCode errorOf(WindowResult result)
{
    switch (result) {
    case WindowResult::Ok:
        return MCI_OK;
    case WindowResult::NoDisplay:
        return MCIERR_DEVICE_NOT_READY;
    case WindowResult::DisplayGone:
        return MCIERR_HARDWARE;
    case WindowResult::NoSuchWindow:
        return MCIERR_OUTOFRANGE;
    case WindowResult::UnsupportedDepth:
        return MCIERR_UNSUPPORTED_FUNCTION;
    case WindowResult::NoAnswer:
        break;
    }
    return MCIERR_DRIVER;
}

inline PictureRect pictureRectOf(const Rect& r)
{
    return {r.left, r.top, r.width, r.height};
}

inline Rect rectOf(const PictureRect& r)
{
    return {r.left, r.top, r.width, r.height};
}

} // namespace mci
