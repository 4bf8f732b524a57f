#include "platform/IniWorkingCopy.h"

#include "platform/IniDocument.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

// Far beyond any settings file of ours; a bigger one is not read, nor replaced.
constexpr qint64 MaxSettingsBytes = 16 * 1024 * 1024;

// Every byte checked, unbuffered: a buffered QFileDevice, QSaveFile included, can
// lose the error of its final flush and report a cut file as written.
bool WriteAll(QFileDevice& file, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A new file only: an earlier kept original is never replaced.
bool WriteNewFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    if (WriteAll(file, bytes) && file.flush()) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    file.remove();
    return false;
}

// In one atomic step, from an unnamed temporary file beside it.
bool ReplaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile target(path);
    target.setDirectWriteFallback(false);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (!WriteAll(target, bytes)) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
}

QString LineList(const QList<int>& lines)
{
    QStringList numbers;
    for (const int line : lines.mid(0, 10))
        numbers << QString::number(line);
    return numbers.join(QStringLiteral(", ")) + (lines.size() > 10 ? QStringLiteral(", ...") : QString());
}

void TellOnce(const QString& file, const QString& kept, const QList<int>& lines)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    const QString text = QStringLiteral("KELD32: the settings file %1 has lines that cannot be read (line %2); "
                                        "they were skipped, the original is kept as %3 and a clean file was written.")
                             .arg(file, LineList(lines), kept);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

TIniWorkingCopy::TIniWorkingCopy(const QString& realFile) : m_RealFile(realFile)
{
    m_Existed = QFileInfo::exists(realFile);
    if (m_Existed && !ReadRegularFile(realFile, MaxSettingsBytes, m_Original))
        return;
    m_Document = std::make_unique<TIniDocument>(m_Original);
}

TIniWorkingCopy::~TIniWorkingCopy() = default;

// When the file had lines that cannot be read, copies the original beside it and
// names the copy in `kept` (left empty otherwise). False when it could not be kept.
bool TIniWorkingCopy::KeepUnreadableOriginal(QString& kept)
{
    if (m_Document->UnreadableLines().isEmpty())
        return true;
    const QString first = m_RealFile + QStringLiteral(".bad");
    for (int n = 1; n <= 1000; ++n) {
        kept = n == 1 ? first : first + QLatin1Char('.') + QString::number(n);
        if (QFileInfo::exists(kept) || QFileInfo(kept).isSymLink())
            continue;
        return WriteNewFile(kept, m_Original);
    }
    return false;
}

bool TIniWorkingCopy::Commit()
{
    if (!m_Document)
        return false;
    QString kept;
    if (!QDir().mkpath(QFileInfo(m_RealFile).absolutePath()) || !KeepUnreadableOriginal(kept))
        return false;
    const QByteArray bytes = m_Document->Bytes();
    if (!ReplaceFile(m_RealFile, bytes)) {
        if (!kept.isEmpty())
            QFile::remove(kept);   // the original is still in its place
        return false;
    }
    if (!kept.isEmpty())
        TellOnce(m_RealFile, kept, m_Document->UnreadableLines());
    // What is in the file now is what the document holds: clean, and the original is kept.
    m_Original = bytes;
    m_Document = std::make_unique<TIniDocument>(bytes);
    m_Existed = true;
    return true;
}
