#include "platform/IniWorkingCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

namespace {

bool ReadAll(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Unbuffered, so that a short write (a full disk) shows in the count: a buffered
// QFileDevice, QSaveFile included, can lose the error of its final flush.
bool WriteAll(QFileDevice& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

// A fresh name in the temporary folder; QSettings has never seen it.
QString NewCopyName()
{
    QTemporaryFile reserve(QDir::tempPath() + QStringLiteral("/keld-settings-XXXXXX.ini"));
    reserve.setAutoRemove(false);
    return reserve.open() ? reserve.fileName() : QString();
}

bool WriteCopy(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) && WriteAll(file, bytes);
}

// QSettings reports success even when its own write was cut short, so the bytes
// are parsed again from a fresh copy and must give back every value in hand.
bool HoldsAllOf(const QByteArray& bytes, const QSettings& expected)
{
    const QString path = NewCopyName();
    if (path.isEmpty())
        return false;
    bool same = false;
    if (WriteCopy(path, bytes)) {
        const QSettings parsed(path, QSettings::IniFormat);
        const QStringList keys = expected.allKeys();
        same = parsed.status() == QSettings::NoError && parsed.allKeys().size() == keys.size();
        for (qsizetype i = 0; same && i < keys.size(); ++i)
            same = parsed.value(keys[i]) == expected.value(keys[i]);
    }
    QFile::remove(path);
    return same;
}

} // namespace

TIniWorkingCopy::TIniWorkingCopy(const QString& realFile) : m_RealFile(realFile)
{
    QByteArray bytes;
    m_Existed = QFileInfo(realFile).isFile();
    if (m_Existed && !ReadAll(realFile, bytes))
        return;
    m_CopyFile = NewCopyName();
    if (m_CopyFile.isEmpty() || !WriteCopy(m_CopyFile, bytes))
        return;
    m_Settings = std::make_unique<QSettings>(m_CopyFile, QSettings::IniFormat);
    m_Settings->setAtomicSyncRequired(true);
}

TIniWorkingCopy::~TIniWorkingCopy()
{
    m_Settings.reset();
    if (!m_CopyFile.isEmpty())
        QFile::remove(m_CopyFile);
}

bool TIniWorkingCopy::Commit()
{
    if (!m_Settings)
        return false;
    m_Settings->sync();
    QByteArray bytes;
    if (m_Settings->status() != QSettings::NoError || !ReadAll(m_CopyFile, bytes) || !HoldsAllOf(bytes, *m_Settings))
        return false;
    if (!QDir().mkpath(QFileInfo(m_RealFile).absolutePath()))
        return false;
    QSaveFile target(m_RealFile);
    target.setDirectWriteFallback(false);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (!WriteAll(target, bytes)) {
        target.cancelWriting();
        return false;
    }
    if (!target.commit())
        return false;
    m_Existed = true;
    return true;
}
