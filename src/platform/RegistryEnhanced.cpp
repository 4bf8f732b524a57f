#include "platform/RegistryEnhanced.h"

#include "platform/IniDocument.h"
#include "platform/IniWorkingCopy.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

const QString IntegerTag = QStringLiteral("int32:");
const QChar TextEscape = QLatin1Char('\'');

QString EncodeText(const QString& text)
{
    if (text.startsWith(IntegerTag) || text.startsWith(TextEscape))
        return TextEscape + text;
    return text;
}

QString EncodeInteger(qint32 number)
{
    return IntegerTag + QString::number(number);
}

// Strict: an optional sign and decimal digits only, within 32 bits.
bool ParseInt32(const QString& text, qint32& number)
{
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return false;
    number = static_cast<qint32>(value);
    return true;
}

// The file spells sub-keys with "/" (as QSettings does); a name may hold one.
QString EscapeSegment(const QString& segment)
{
    QString out = segment;
    out.replace(QLatin1Char('%'), QLatin1String("%25"));
    out.replace(QLatin1Char('/'), QLatin1String("%2F"));
    return out;
}

} // namespace

TRegistryEnhanced::TRegistryEnhanced(QObject* parent) : QObject(parent)
{
    m_BrkApart.BreakString = QStringLiteral("\\");
    m_BrkApart.AllowEmptyString = false;
}

TRegistryEnhanced::~TRegistryEnhanced()
{
    while (m_BatchDepth > 0)
        EndUpdate();
}

TRegistryEnhanced::Location TRegistryEnhanced::Locate(const QString& name)
{
    Location loc;
    if (RootKey != hkCurrentUser)
        return loc;
    // One leading and one trailing backslash of Key are ignored; doubled ones
    // give no empty pieces, so the path is cut in one go.
    m_BrkApart.BaseString = Key + QLatin1Char('\\') + name;
    m_BrkApart.BreakApart();
    const QStringList segments = m_BrkApart.StringList;
    if (segments.size() < 4 || segments[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return loc;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return loc;
    loc.file = QDir(base).filePath(segments[1] + QLatin1Char('/') + segments[2] + QLatin1String(".conf"));
    for (qsizetype i = 3; i + 1 < segments.size(); ++i)
        loc.groups.append(EscapeSegment(segments[i]));
    loc.valueName = EscapeSegment(segments.back());
    loc.valid = true;
    return loc;
}

QString TRegistryEnhanced::FileName(const QString& name)
{
    return Locate(name.isEmpty() ? QStringLiteral("x") : name).file;
}

TIniWorkingCopy* TRegistryEnhanced::BatchFor(const QString& file)
{
    if (m_BatchDepth == 0)
        return nullptr;
    if (!m_Batch)
        m_Batch = std::make_unique<TIniWorkingCopy>(file);
    return m_Batch->RealFile() == file ? m_Batch.get() : nullptr;
}

TRegistryEnhanced::Stored TRegistryEnhanced::ReadStored(const QString& name)
{
    Stored result;
    const Location loc = Locate(name);
    if (!loc.valid)
        return result;
    TIniWorkingCopy* copy = BatchFor(loc.file);
    std::unique_ptr<TIniWorkingCopy> own;
    if (!copy) {
        // Opening read-only must never create the key: no file, no key.
        if (!QFile::exists(loc.file))
            return result;
        own = std::make_unique<TIniWorkingCopy>(loc.file);
        copy = own.get();
    }
    const TIniDocument* document = copy->Document();
    if (!document || (!copy->Existed() && document->IsEmpty()))
        return result;
    result.keyExists = document->HasGroups(loc.groups);
    QString raw;
    // Only a plain text is a value of ours; anything else (a list typed in by
    // hand, say) is of another type and counts as not stored.
    if (!result.keyExists || document->Read(loc.groups, loc.valueName, raw) != TIniDocument::Stored::Text)
        return result;
    if (raw.startsWith(IntegerTag)) {
        if (ParseInt32(raw.mid(IntegerTag.size()), result.number))
            result.kind = Stored::Integer;
    } else {
        result.kind = Stored::Text;
        result.text = raw.startsWith(TextEscape) ? raw.mid(1) : raw;
    }
    return result;
}

QString TRegistryEnhanced::ReadValue(const QString& name, const QString& def)
{
    const Stored stored = ReadStored(name);
    if (!stored.keyExists)
        return QString();
    switch (stored.kind) {
    case Stored::Text: return stored.text;
    case Stored::Integer: return QString::number(stored.number);
    case Stored::Absent: break;
    }
    return def;
}

qint32 TRegistryEnhanced::ReadValue(const QString& name, qint32 def)
{
    const Stored stored = ReadStored(name);
    if (!stored.keyExists)
        return 0;
    qint32 number = def;
    switch (stored.kind) {
    case Stored::Integer: return stored.number;
    case Stored::Text: return ParseInt32(stored.text, number) ? number : def;
    case Stored::Absent: break;
    }
    return def;
}

void TRegistryEnhanced::WriteEncoded(const QString& name, const QString& encoded)
{
    const Location loc = Locate(name);
    if (!loc.valid)
        return;
    TIniWorkingCopy* copy = BatchFor(loc.file);
    std::unique_ptr<TIniWorkingCopy> own;
    if (!copy) {
        own = std::make_unique<TIniWorkingCopy>(loc.file);
        copy = own.get();
    }
    TIniDocument* document = copy->Document();
    if (document)
        document->Write(loc.groups, loc.valueName, encoded);
    if (own)
        own->Commit();
    else if (!document)
        m_BatchFailed = true;
    m_BatchWrote = m_BatchWrote || !own;
    emit ValueWritten(name);
}

void TRegistryEnhanced::WriteValue(const QString& name, const QString& value)
{
    WriteEncoded(name, EncodeText(value));
}

void TRegistryEnhanced::WriteValue(const QString& name, qint32 value)
{
    WriteEncoded(name, EncodeInteger(value));
}

void TRegistryEnhanced::BeginUpdate()
{
    ++m_BatchDepth;
}

bool TRegistryEnhanced::EndUpdate()
{
    if (m_BatchDepth == 0)
        return false;
    if (--m_BatchDepth > 0)
        return true;
    const bool written = !m_Batch || !m_BatchWrote || (!m_BatchFailed && m_Batch->Commit());
    m_Batch.reset();
    m_BatchFailed = false;
    m_BatchWrote = false;
    return written;
}
