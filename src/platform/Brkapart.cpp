#include "platform/Brkapart.h"

void TBrkApart::BreakApart()
{
    StringList.clear();
    const auto keep = [this](const QString& piece) {
        if (!piece.isEmpty() || AllowEmptyString)
            StringList.append(piece);
    };
    if (BreakString.isEmpty()) {
        keep(BaseString);
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = BaseString.indexOf(BreakString, start);
        if (at < 0)
            break;
        keep(BaseString.mid(start, at - start));
        start = at + BreakString.size();
    }
    keep(BaseString.mid(start));
}
