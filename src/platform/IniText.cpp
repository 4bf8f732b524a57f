#include "platform/IniText.h"

namespace {

const char HexDigits[] = "0123456789ABCDEF";

bool IsKeyChar(char16_t ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'
        || ch == '-' || ch == '.';
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// "%XX" or "%UXXXX" at `at`; false (nothing taken) when it is not one.
bool TakePercentEscape(const QByteArray& raw, qsizetype& at, QString& out)
{
    const bool wide = at + 1 < raw.size() && raw.at(at + 1) == 'U';
    const qsizetype first = at + (wide ? 2 : 1);
    const int digits = wide ? 4 : 2;
    if (first + digits > raw.size())
        return false;
    char16_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = HexValue(raw.at(first + i));
        if (digit < 0)
            return false;
        value = char16_t(value * 16 + digit);
    }
    out += QChar(value);
    at = first + digits;
    return true;
}

// The single-letter escapes of a value: "\n" and the like.
bool SimpleEscape(char letter, char16_t& out)
{
    static const char pairs[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'},  {'n', '\n'}, {'r', '\r'}, {'t', '\t'},
                                    {'v', '\v'}, {'"', '"'},  {'?', '?'},   {'\'', '\''}, {'\\', '\\'}};
    for (const auto& pair : pairs) {
        if (pair[0] == letter) {
            out = char16_t(pair[1]);
            return true;
        }
    }
    return false;
}

// Reads a value as QSettings does: blanks around it dropped, quoted parts taken as
// they are, backslash escapes resolved. A comma outside quotes makes it a list.
class ValueReader {
public:
    explicit ValueReader(const QByteArray& raw) : raw_(raw) {}

    bool Read(QString& text)
    {
        SkipBlanks();
        while (at_ < raw_.size()) {
            const char ch = raw_.at(at_);
            if (ch == '\\')
                Escape();
            else if (ch == '"')
                Quote();
            else if (ch == ',' && !inQuotes_)
                return false;
            else
                Plain();
        }
        if (!quoted_)
            ChopTrailingBlanks();
        text = out_;
        return true;
    }

private:
    void SkipBlanks()
    {
        while (at_ < raw_.size() && (raw_.at(at_) == ' ' || raw_.at(at_) == '\t'))
            ++at_;
    }

    void ChopTrailingBlanks()
    {
        while (out_.size() > keep_ && (out_.back() == u' ' || out_.back() == u'\t'))
            out_.chop(1);
    }

    void Quote()
    {
        ++at_;
        quoted_ = true;
        inQuotes_ = !inQuotes_;
        if (!inQuotes_)
            SkipBlanks();
    }

    void Plain()
    {
        qsizetype end = at_ + 1;
        while (end < raw_.size() && raw_.at(end) != '\\' && raw_.at(end) != '"'
               && (raw_.at(end) != ',' || inQuotes_))
            ++end;
        out_ += QString::fromUtf8(raw_.constData() + at_, end - at_);
        at_ = end;
    }

    void Escape()
    {
        ++at_;
        if (at_ >= raw_.size())
            return;
        const char letter = raw_.at(at_++);
        char16_t value = 0;
        if (SimpleEscape(letter, value))
            out_ += QChar(value);
        else if (letter == 'x')
            Number(16, 0);
        else if (letter >= '0' && letter <= '7')
            Number(8, letter - '0');
        // Any other escaped character is dropped, as QSettings drops it.
        keep_ = out_.size();
    }

    // "\x" with hex digits or "\" with octal digits, as many as follow.
    void Number(int base, int start)
    {
        if (base == 16 && (at_ >= raw_.size() || HexValue(raw_.at(at_)) < 0))
            return;
        char16_t value = char16_t(start);
        while (at_ < raw_.size()) {
            const int digit = HexValue(raw_.at(at_));
            if (digit < 0 || digit >= base)
                break;
            value = char16_t(value * base + digit);
            ++at_;
        }
        out_ += QChar(value);
    }

    const QByteArray& raw_;
    qsizetype at_ = 0;
    qsizetype keep_ = 0;       // escaped characters are never chopped as blanks
    bool inQuotes_ = false;
    bool quoted_ = false;
    QString out_;
};

// QSettings marks other types with "@Type(...)" and doubles a text's leading "@".
TIniText::Value TextFromVariantForm(const QString& form, QString& text)
{
    if (form.startsWith(QLatin1Char('@'))) {
        if (form.startsWith(QLatin1String("@String(")) && form.endsWith(QLatin1Char(')'))) {
            text = form.mid(8, form.size() - 9);
            return TIniText::Value::Text;
        }
        if (form.startsWith(QLatin1String("@@"))) {
            text = form.mid(1);
            return TIniText::Value::Text;
        }
        for (const char* type : {"@ByteArray(", "@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point(",
                                 "@Invalid("}) {
            if (form.startsWith(QLatin1String(type)) && form.endsWith(QLatin1Char(')')))
                return TIniText::Value::Other;
        }
    }
    text = form;
    return TIniText::Value::Text;
}

// The letter of the escape QSettings writes for a character; 0 when it has none.
char EscapeLetter(char16_t ch)
{
    switch (ch) {
    case '\a': return 'a';
    case '\b': return 'b';
    case '\f': return 'f';
    case '\n': return 'n';
    case '\r': return 'r';
    case '\t': return 't';
    case '\v': return 'v';
    case '"': return '"';
    case '\\': return '\\';
    default: return 0;
    }
}

void AppendHexEscape(QByteArray& out, char16_t ch)
{
    out += "\\x";
    out += QByteArray::number(ch, 16);
}

} // namespace

QByteArray TIniText::EscapeKey(const QString& key)
{
    QByteArray out;
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == '/') {
            out += '\\';
        } else if (IsKeyChar(ch)) {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += HexDigits[ch / 16];
            out += HexDigits[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += HexDigits[(ch >> shift) & 0xF];
        }
    }
    return out;
}

QString TIniText::UnescapeKey(const QByteArray& raw)
{
    QString out;
    qsizetype at = 0;
    while (at < raw.size()) {
        if (raw.at(at) == '\\') {
            out += QLatin1Char('/');
            ++at;
            continue;
        }
        if (raw.at(at) == '%' && TakePercentEscape(raw, at, out))
            continue;
        qsizetype end = at + 1;
        while (end < raw.size() && raw.at(end) != '%' && raw.at(end) != '\\')
            ++end;
        out += QString::fromUtf8(raw.constData() + at, end - at);
        at = end;
    }
    return out;
}

QByteArray TIniText::EscapeValue(const QString& text)
{
    const QString form = text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    QByteArray out;
    QString plain;   // pending characters, encoded together so that surrogate pairs stay whole
    const auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    bool needsQuotes = false;
    bool escapeNextIfHex = false;   // after "\0" or "\x..", a hex digit would be read as part of it
    for (const QChar qch : form) {
        const char16_t ch = qch.unicode();
        needsQuotes = needsQuotes || ch == ';' || ch == ',' || ch == '=';
        if (escapeNextIfHex && ch < 0x80 && HexValue(char(ch)) >= 0) {
            flush();
            AppendHexEscape(out, ch);
            continue;
        }
        escapeNextIfHex = false;
        if (ch == 0) {
            flush();
            out += "\\0";
            escapeNextIfHex = true;
        } else if (const char letter = EscapeLetter(ch)) {
            flush();
            out += '\\';
            out += letter;
        } else if (ch < 0x20 || ch == 0x7F) {
            flush();
            AppendHexEscape(out, ch);
            escapeNextIfHex = true;
        } else {
            plain += qch;
        }
    }
    flush();
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

TIniText::Value TIniText::UnescapeValue(const QByteArray& raw, QString& text)
{
    text.clear();
    QString form;
    if (!ValueReader(raw).Read(form))
        return Value::Other;
    return TextFromVariantForm(form, text);
}
