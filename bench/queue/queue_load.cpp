// Loads a queue file naming 32767 existing files into the queue editor, the way the
// Import button does, and reports how long it took and how often the event loop ran
// meanwhile (the progress bar and the window stay live only if it does).
//
//   BUILD/bench/queue/queue_load [entries]
#include "display/disp.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "queue/QueueFile.h"
#include "queue/QueueForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QStringList makeFiles(const QString& dir, int count)
{
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/clip%2.avi").arg(dir).arg(i, 5, 10, QLatin1Char('0'));
        QFile(path).open(QIODevice::WriteOnly);
        paths << path;
    }
    return paths;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 32767;

    QTemporaryDir dir;
    const QStringList paths = makeFiles(dir.path(), count);
    const QString queueFile = dir.filePath(QStringLiteral("big.kql"));
    if (!WriteQueueFile(queueFile, paths)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(queueFile));
        return 1;
    }

    auto panel = std::make_unique<TBedienTeil>();
    BedienTeil = panel.get();
    auto display = std::make_unique<TDisplay>();
    Display = display.get();
    auto form = std::make_unique<TQueueForm>();
    form->FormCreate();
    form->ShowMessage = [](const QString&) {};
    form->ShowError = [](const QString&) {};
    form->show();

    int ticks = 0;
    QTimer liveness;
    QObject::connect(&liveness, &QTimer::timeout, [&ticks] { ++ticks; });
    liveness.start(50);

    QElapsedTimer clock;
    clock.start();
    const TQueueLoad outcome = LoadQueueFile(queueFile);
    const qint64 ms = clock.elapsed();

    std::printf("entries in file   %d\n", count);
    std::printf("entries loaded    %d\n", form->ListBox1->count());
    std::printf("outcome           %s\n", outcome == TQueueLoad::Completed ? "completed"
                                          : outcome == TQueueLoad::StoppedAtLimit ? "stopped at the limit"
                                                                                   : "failed");
    std::printf("time              %lld ms (target under 2000 ms)\n", static_cast<long long>(ms));
    std::printf("event loop ticks  %d (50 ms timer; about %lld expected if the window stays live)\n", ticks,
                static_cast<long long>(ms / 50));
    form.reset();
    display.reset();
    panel.reset();
    return 0;
}
