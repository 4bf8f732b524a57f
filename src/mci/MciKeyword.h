#pragma once
#include <cstdint>

namespace mci {

// Every keyword of the command table by name: handlers ask for these, so a keyword
// the table does not declare cannot be asked for by a misspelt string.
enum class Kw : uint8_t {
    // open
    Alias, Type, Shareable, Style, Parent,
    // play, seek, step
    Reverse, From, To, By,
    // status items
    Position, Length, Mode, Ready, NominalFrameRate, FrameRate, TimeFormat, Volume, MediaPresent,
    StartPosition, Indexed,
    // capability items
    CanReverse, CanSave, CanStretch, CanPlay, CanRecord, CanEject, CanFreeze, HasAudio, HasVideo,
    UsesFiles, CompoundDevice, DeviceType, Windows,
    // where, put, window
    Source, Destination, DestinationAt, WindowAt, Handle, State, Text,
    // setaudio, capture, info, sysinfo
    VolumeTo, As, Product, File, Quantity, Name, Open,
    // every command
    Wait, Notify,
    Count_
};

} // namespace mci
