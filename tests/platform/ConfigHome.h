#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A private XDG_CONFIG_HOME for one test, so every test starts on a first run.
// Made under /tmp with its own bits opened, so a test may hand it to another user.
class ConfigHome : public ::testing::Test {
protected:
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/keld-platform-XXXXXX")};
    QByteArray savedHome;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                              | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup
                                              | QFile::ExeGroup);
        savedHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }

    void TearDown() override
    {
        // A test may leave the folder read-only; give it back so it can go.
        QFile::setPermissions(vantuDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (savedHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedHome);
    }

    QString vantuDir() const { return dir.path() + QStringLiteral("/Vantu"); }
    QString confPath() const { return vantuDir() + QStringLiteral("/ZORVEX.conf"); }

    // Puts a settings file in place as if typed in by hand.
    void writeConf(const QByteArray& text, const QString& path = QString()) const
    {
        QDir().mkpath(vantuDir());
        QFile file(path.isEmpty() ? confPath() : path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QByteArray readConf(const QString& path = QString()) const
    {
        QFile file(path.isEmpty() ? confPath() : path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};
