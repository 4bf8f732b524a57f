#pragma once
#include <QString>
#include <QStringList>

// Cuts a text into pieces at every occurrence of a separator; the settings
// store uses it for key paths and for value names that name sub-keys.
class TBrkApart {
public:
    QString BreakString;
    QString BaseString;
    bool AllowEmptyString = false;
    QStringList StringList;

    // Clears StringList and appends the pieces of BaseString from left to right.
    // Empty pieces (leading, trailing or doubled separators) are kept only when
    // AllowEmptyString is set. An empty separator cannot cut anything: the whole
    // text is then one piece, rather than an endless search for "".
    void BreakApart();
};
