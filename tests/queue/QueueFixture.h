#pragma once
#include "ScriptedMci.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "queue/Queue.h"
#include "queue/QueueForm.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QProgressBar>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

using Commands = std::vector<std::string>;

// The panel, the display window and the queue editor, offscreen, on a scripted MCI
// service; every box the editor or the service would show is recorded instead.
class QueueFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlayerState();
        Zoom = 1;
        installed = std::make_unique<ScriptedMci::Installed>(mci);
        SetMciErrorHook([this](const QString& text) { mciErrors << text; });
        panel = std::make_unique<TBedienTeil>();
        display = std::make_unique<TDisplay>();
        form = std::make_unique<TQueueForm>();
        form->FormCreate();
        form->ShowMessage = [this](const QString& text) { messages << text; };
        form->ShowError = [this](const QString& text) { errors << text; };
        panel->ShowMessage = [this](const QString& text) { messages << text; };
        ShowNoMediaState();
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        form.reset();
        display.reset();
        panel.reset();
        SetMciErrorHook(nullptr);
        installed.reset();
        ResetPlayerState();
    }

    // Puts entries straight into the list, as earlier adds would have.
    void Fill(const QStringList& entries, int selected = 0)
    {
        form->ListBox1->addItems(entries);
        form->ListBox1->setCurrentRow(selected);
        mci.clearSent();
    }

    void FillCount(int count)
    {
        QStringList entries;
        entries.reserve(count);
        for (int i = 0; i < count; ++i)
            entries << QStringLiteral("/q/%1.avi").arg(i);
        form->ListBox1->addItems(entries);
    }

    QStringList Entries() const
    {
        QStringList list;
        for (int i = 0; i < form->ListBox1->count(); ++i)
            list << form->ListBox1->item(i)->text();
        return list;
    }

    // A file of `bytes` in the test's own directory; returns its path.
    QString MakeFile(const QString& name, const QByteArray& bytes = QByteArray("x"))
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static std::string OpenOf(const QString& path)
    {
        return ("open \"" + path + "\" alias vid").toStdString();
    }

    bool WasSent(const std::string& command) const { return mci.count(command) > 0; }

    // Position in the sent commands, or -1.
    long IndexOf(const std::string& command) const
    {
        const Commands& sent = mci.sent();
        const auto it = std::find(sent.begin(), sent.end(), command);
        return it == sent.end() ? -1 : long(it - sent.begin());
    }

    ScriptedMci mci;
    std::unique_ptr<ScriptedMci::Installed> installed;
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TDisplay> display;
    std::unique_ptr<TQueueForm> form;
    QStringList messages;
    QStringList errors;
    QStringList mciErrors;
    QTemporaryDir dir;
};
