#pragma once
#include <QIcon>

// The 16 x 16 pictures of the transport buttons, drawn rather than shipped.
enum class TGlyph {
    ToStart, StepReverse, PlayReverse, ReversePause, Stop, Play, PlayPause, Step, ToEnd,
    LoopOn, LoopOff
};

QIcon GlyphIcon(TGlyph glyph);
