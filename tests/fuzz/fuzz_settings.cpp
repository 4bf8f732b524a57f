// The settings file as it might be found on disk: any bytes. Reading every kind of
// value must not crash, and an update must leave a clean file that reads back, the
// original being kept beside it when it had lines that could not be read.
#include "platform/IniDocument.h"
#include "platform/RegistryEnhanced.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* g_home = nullptr;

QString settingsFile()
{
    return g_home->path() + QStringLiteral("/Vantu/ZORVEX.conf");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    g_home = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", g_home->path().toUtf8());
    QDir().mkpath(g_home->path() + QStringLiteral("/Vantu"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        QFile file(settingsFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    TRegistryEnhanced reg;
    reg.RootKey = hkCurrentUser;
    reg.Key = QStringLiteral("\\Software\\Vantu\\ZORVEX");
    static const char* const names[] = {"Zoom", "WTimer", "Device", "LOOP", "X", "CaptureDir", "a\\b", "WVolume"};
    for (const char* name : names) {
        (void)reg.ReadValue(QString::fromLatin1(name), QStringLiteral("def"));
        (void)reg.ReadValue(QString::fromLatin1(name), qint32(-7));
    }
    reg.BeginUpdate();
    reg.WriteValue(QStringLiteral("Zoom"), qint32(3));
    reg.WriteValue(QStringLiteral("Device"), QStringLiteral("int32:5"));
    if (reg.EndUpdate()) {
        if (reg.ReadValue(QStringLiteral("Zoom"), qint32(0)) != 3)
            std::abort();
        if (reg.ReadValue(QStringLiteral("Device"), QString()) != QStringLiteral("int32:5"))
            std::abort();
        if (!TIniDocument(readAll(settingsFile())).UnreadableLines().isEmpty())
            std::abort();   // what was written is clean
        if (QFile::exists(settingsFile() + QStringLiteral(".bad"))
            && readAll(settingsFile() + QStringLiteral(".bad")) != QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))
            std::abort();   // the kept original is the input, byte for byte
    }
    QFile::remove(settingsFile() + QStringLiteral(".bad"));
    return 0;
}
