#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// A FIFO with a program writing `text` into it, as `mkfifo q.kql; cat list > q.kql`
// would. Whoever opens it for reading gets the text; a reader that never comes
// is stood in for at the end, so the writer always finishes.
class FifoWriter {
public:
    FifoWriter(const QString& path, const QByteArray& text)
        : path_(QFile::encodeName(path))
    {
        ok_ = ::mkfifo(path_.constData(), 0644) == 0;
        previousPipeSignal_ = std::signal(SIGPIPE, SIG_IGN);
        if (ok_)
            writer_ = std::thread([this, text] { write(text); });
    }

    ~FifoWriter()
    {
        if (writer_.joinable()) {
            // Opening the reading end lets a writer still waiting in open() go on.
            const int fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
            writer_.join();
            if (fd >= 0)
                ::close(fd);
        }
        std::signal(SIGPIPE, previousPipeSignal_);
    }

    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    bool ok() const { return ok_; }

private:
    void write(const QByteArray& text)
    {
        const int fd = ::open(path_.constData(), O_WRONLY);   // waits for a reader
        if (fd < 0)
            return;
        if (::write(fd, text.constData(), size_t(text.size())) < 0) {
            // No reader any more: nothing to deliver.
        }
        ::close(fd);
    }

    QByteArray path_;
    bool ok_ = false;
    void (*previousPipeSignal_)(int) = SIG_DFL;
    std::thread writer_;
};
