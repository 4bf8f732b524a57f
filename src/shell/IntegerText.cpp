#include "shell/IntegerText.h"

bool TextToInteger(const QString& text, int& value)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return false;
    // Only a sign and decimal digits: no hexadecimal, no exponent, no grouping.
    for (int i = 0; i < digits.size(); ++i) {
        const QChar c = digits.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'));
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    }
    bool ok = false;
    const int parsed = digits.toInt(&ok, 10);
    if (!ok)
        return false;
    value = parsed;
    return true;
}

QString NotAnIntegerMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}
