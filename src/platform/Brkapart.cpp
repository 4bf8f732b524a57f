#include "platform/Brkapart.h"

void TBrkApart::BreakApart()
{
    // QString::split cuts an empty separator between every character; here it cuts nothing.
    if (BreakString.isEmpty()) {
        StringList.clear();
        if (!BaseString.isEmpty() || AllowEmptyString)
            StringList.append(BaseString);
        return;
    }
    StringList = BaseString.split(BreakString, AllowEmptyString ? Qt::KeepEmptyParts : Qt::SkipEmptyParts);
}
