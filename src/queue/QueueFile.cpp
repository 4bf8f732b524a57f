#include "queue/QueueFile.h"

#include "platform/RegularFile.h"
#include "queue/Queue.h"
#include "queue/QueueForm.h"
#include "queue/StatusPanels.h"
#include "shell/language.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QSaveFile>

#include <climits>

namespace {

// A full queue of paths of the longest length the system allows, each with its
// line end: no queue file of use is longer.
constexpr qint64 MaxQueueFileBytes = qint64(QueueLimit) * (PATH_MAX + 2);

// The busy state of a load, from its first status text to every way out of it.
class BusyLoad {
public:
    explicit BusyLoad(TQueueForm& form)
        : form_(form)
    {
        form_.StatusBar1->SetPanelText(0, MsgLoadingQueue);
        form_.BtnLoad->setEnabled(false);
        QCoreApplication::processEvents();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyLoad()
    {
        form_.StatusBar1->SetPanelText(0, QString());
        form_.ProgressBar1->hide();
        form_.BtnLoad->setEnabled(true);
        QApplication::restoreOverrideCursor();
        form_.chk_list();
    }
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

private:
    TQueueForm& form_;
};

// The pumps of a load let the user press Import again; one load at a time.
bool loadRunning = false;

void finishCompletedLoad(TQueueForm& form, int skipped)
{
    form.ListBox2.clear();
    if (skipped > 0)
        form.ShowMessage(QString::number(skipped) + MsgFilesSkipped);
    if (form.ListBox1->count() > 0) {
        form.ListBox1->setCurrentRow(0);
        form.BtnDel->setEnabled(true);
        form.BtnDelAll->setEnabled(true);
    }
}

// Entries reach the list in batches, and the window is given its events and its
// progress at most every few milliseconds: pumping the event loop for each of
// 32767 entries would make a large load take half a minute.
class LoadProgress {
public:
    explicit LoadProgress(TQueueForm& form) : form_(form), first_(form.ListBox1->count()) { clock_.start(); }

    void add(const QString& line)
    {
        batch_ << line;
        if (clock_.elapsed() >= kPumpMs)
            flush();
    }

    int listed() const { return form_.ListBox1->count() + static_cast<int>(batch_.size()); }

    void flush()
    {
        if (!batch_.isEmpty()) {
            form_.ListBox1->addItems(batch_);
            batch_.clear();
        }
        form_.StatusBar1->SetPanelText(1, QString::number(form_.ListBox1->count()));
        form_.ProgressBar1->setValue(form_.ListBox1->count() - first_);
        QCoreApplication::processEvents();
        clock_.restart();
    }

private:
    static constexpr int kPumpMs = 30;
    TQueueForm& form_;
    QStringList batch_;
    QElapsedTimer clock_;
    int first_ = 0;
};

TQueueLoad appendExistingLines(TQueueForm& form, int& skipped)
{
    QCoreApplication::processEvents();
    form.ProgressBar1->setMaximum(form.ListBox2.size());
    form.ProgressBar1->setValue(0);
    form.ProgressBar1->show();
    form.StatusBar1->SetPanelText(0, MsgCheckingFiles);
    skipped = 0;
    // A copy: the pumps below may let other code touch the buffer.
    const QStringList lines = form.ListBox2;
    QStringList kept;
    LoadProgress progress(form);
    for (const QString& line : lines) {
        if (!QueueFileExists(line)) {
            ++skipped;
            continue;
        }
        if (progress.listed() >= QueueLimit) {
            progress.flush();
            form.ShowError(MsgQueueFull);
            form.BtnDelAll->setEnabled(true);
            return TQueueLoad::StoppedAtLimit;
        }
        progress.add(line);
        kept << line;
    }
    progress.flush();
    form.ListBox2 = kept;
    return TQueueLoad::Completed;
}

} // namespace

QStringList ParseQueueText(QByteArray bytes)
{
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << QString::fromUtf8(bytes.constData() + start, i - start);
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << QString::fromUtf8(bytes.constData() + start, bytes.size() - start);
    return lines;
}

bool FormatQueueText(const QStringList& entries, QByteArray& bytes)
{
    bytes.clear();
    for (const QString& entry : entries) {
        if (entry.contains(QLatin1Char('\r')) || entry.contains(QLatin1Char('\n'))
            || entry.contains(QChar(0)))
            return false;
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    return true;
}

bool ReadQueueFile(const QString& path, QStringList& lines)
{
    QByteArray bytes;
    if (!ReadRegularFile(path, MaxQueueFileBytes, bytes))
        return false;
    lines = ParseQueueText(bytes);
    return true;
}

bool WriteQueueFile(const QString& path, const QStringList& entries)
{
    QByteArray bytes;
    if (!FormatQueueText(entries, bytes))
        return false;
    QSaveFile file(path);
    // Unbuffered, and every byte checked: a buffered write reports the whole
    // count even when a full disk took only part of it, and commit would then
    // replace the old file by the cut one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    return file.commit();
}

bool QueueFileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

TQueueLoad LoadQueueFile(const QString& path)
{
    if (loadRunning)
        return TQueueLoad::Busy;
    if (!QueueForm)
        return TQueueLoad::Failed;
    TQueueForm& form = *QueueForm;
    loadRunning = true;
    const BusyLoad busy(form);
    QStringList lines;
    TQueueLoad outcome = TQueueLoad::Failed;
    int skipped = 0;
    if (ReadQueueFile(path, lines)) {
        form.ListBox2 = lines;
        outcome = form.ListBox2.isEmpty() ? TQueueLoad::Completed : appendExistingLines(form, skipped);
        if (outcome == TQueueLoad::Completed)
            finishCompletedLoad(form, skipped);
    }
    loadRunning = false;
    return outcome;
}
