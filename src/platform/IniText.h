#pragma once
#include <QByteArray>
#include <QString>

// How names and values are spelled in the settings file. The spelling is the one
// QSettings' INI format uses, so files written by earlier versions (through
// QSettings) read the same, and the files written now read in QSettings too.
class TIniText {
public:
    // A value of a type other than text: a list ("a, b"), "@ByteArray(...)" and
    // the like. Such values are not the player's; they are kept, never read.
    enum class Value { Text, Other };

    // A name ("Queue/Recent" for a sub-key) as written left of "=" or in "[...]".
    static QByteArray EscapeKey(const QString& key);
    static QString UnescapeKey(const QByteArray& raw);

    // A text as written right of "=", and back. UnescapeValue gives Value::Other,
    // leaving `text` empty, for anything that is not a plain text.
    static QByteArray EscapeValue(const QString& text);
    static Value UnescapeValue(const QByteArray& raw, QString& text);
};
