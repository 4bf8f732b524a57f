#pragma once
#include "BadMedia.h"
#include "RecordingService.h"
#include "StampedClip.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "queue/Queue.h"
#include "panel/QueueDrop.h"
#include "queue/QueueForm.h"
#include "shell/DropFileTarget.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

// The whole player (panel, display, queue editor) offscreen on the real MCI
// service with a headless libmpv device; every box it would show is recorded.
class RobustFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("KELD32_MCI_HEADLESS", "1");
        ResetPlayerState();
        Zoom = 1;
        TimerFactor = 10;
        TimerMin = 500;
        NoVolume = 1;
        service = std::make_unique<RecordingService>();
        previous = SetMciBackend(service.get());
        SetMciErrorHook([this](const QString& text) { errors << text; });
        panel = std::make_unique<TBedienTeil>();
        BedienTeil = panel.get();
        display = std::make_unique<TDisplay>();
        Display = display.get();
        form = std::make_unique<TQueueForm>();
        form->FormCreate();
        form->ShowMessage = [this](const QString& text) { errors << text; };
        form->ShowError = [this](const QString& text) { errors << text; };
        panel->ShowMessage = [this](const QString& text) { errors << text; };
        RegisterPanelDropTarget(*panel);
        ShowNoMediaState();
    }

    void TearDown() override
    {
        int result = 0;
        CloseMedia(result);
        form.reset();
        display.reset();
        panel.reset();
        BedienTeil = nullptr;
        Display = nullptr;
        SetMciErrorHook(nullptr);
        SetMciBackend(previous);
        service.reset();
        ResetPlayerState();
    }

    // ---- The ways a file reaches the player ----

    void openFromDialog(const QString& path)
    {
        panel->OpenDialog1Execute = [this, path] {
            panel->OpenDialog1FileName = path;
            return true;
        };
        panel->OpenClick();
    }

    void playFromQueue(const QStringList& entries, int index)
    {
        form->ListBox1->clear();
        form->ListBox1->addItems(entries);
        StartQueuePlay(index);
    }

    void drop(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(panel.get(), &event);
    }

    QStringList entries() const
    {
        QStringList list;
        for (int i = 0; i < form->ListBox1->count(); ++i)
            list << form->ListBox1->item(i)->text();
        return list;
    }

    // After a refused file the player opens a good one the same way and knows its length.
    void expectUsable()
    {
        errors.clear();
        openFromDialog(BadMedia::goodClip());
        EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
        EXPECT_EQ(MediaOpen, 1);
        EXPECT_EQ(FrameCount, BadMedia::goodClipFrames());
        int result = 0;
        CloseMedia(result);
    }

    std::unique_ptr<RecordingService> service;
    mci::MciBackend* previous = nullptr;
    std::unique_ptr<TBedienTeil> panel;
    std::unique_ptr<TDisplay> display;
    std::unique_ptr<TQueueForm> form;
    QStringList errors;
};
