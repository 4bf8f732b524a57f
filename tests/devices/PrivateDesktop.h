#pragma once
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

namespace keldtest {

// A display (Xvfb) and a sound server (PulseAudio on a null sink that sleeps when idle,
// as desktops set it up) of the test's own, so that a device plays with a real sound
// output and its latency. The environment names them while this object lives.
class PrivateDesktop {
public:
    PrivateDesktop() = default;
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    ~PrivateDesktop()
    {
        if (applied_) {
            restore("DISPLAY", display_);
            restore("PULSE_SERVER", pulseServer_);
            restore("KELD32_MCI_HEADLESS", headless_);
        }
        stopProcess(pulse_);
        stopProcess(xvfb_);
    }

    // False (with why()) when either server cannot start here.
    bool start()
    {
        if (!dir_.isValid())
            return fail("no temporary folder");
        if (!startDisplay() || !startPulse())
            return false;
        display_ = saved("DISPLAY");
        pulseServer_ = saved("PULSE_SERVER");
        headless_ = saved("KELD32_MCI_HEADLESS");
        applied_ = true;
        qputenv("DISPLAY", displayName_.toUtf8());
        qputenv("PULSE_SERVER", ("unix:" + socket()).toUtf8());
        qputenv("KELD32_MCI_HEADLESS", "0");
        return true;
    }

    QString why() const { return why_; }

private:
    QString socket() const { return dir_.filePath("pulse.sock"); }

    bool fail(const QString& why)
    {
        why_ = why;
        return false;
    }

    bool startDisplay()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty())
            return fail("Xvfb is not installed");
        // Xvfb picks a free display and writes its number to the file.
        const QString numberFile = dir_.filePath("display");
        xvfb_.start("bash", {"-c", "exec \"$0\" -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>\"$1\"", xvfb, numberFile});
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            QFile f(numberFile);
            // The number comes with its line end once the server takes clients.
            const QByteArray line = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            if (line.endsWith('\n')) {
                displayName_ = ":" + QString::fromLatin1(line.trimmed());
                return true;
            }
            if (xvfb_.state() == QProcess::NotRunning)
                break;
            QThread::msleep(20);
        }
        return fail("Xvfb did not start");
    }

    bool startPulse()
    {
        const QString pulse = QStandardPaths::findExecutable("pulseaudio");
        if (pulse.isEmpty())
            return fail("pulseaudio is not installed (scripts/setup installs it)");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QDir(dir_.path()).mkpath("run");
        env.insert("HOME", dir_.path());
        env.insert("XDG_RUNTIME_DIR", dir_.filePath("run"));
        env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        pulse_.setProcessEnvironment(env);
        pulse_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        pulse_.start(pulse, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                             "--log-level=error", "-L", "module-null-sink", "-L", "module-suspend-on-idle timeout=1",
                             "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket()});
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            if (QFile::exists(socket()))
                return true;
            if (pulse_.state() == QProcess::NotRunning)
                break;
            QThread::msleep(20);
        }
        return fail("pulseaudio did not start");
    }

    static void stopProcess(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(2000);
        }
    }

    // Null when the variable is not set at all.
    static QByteArray saved(const char* name)
    {
        return qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
    }

    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QTemporaryDir dir_;
    QProcess xvfb_;
    QProcess pulse_;
    QString displayName_;
    QString why_;
    QByteArray display_;
    QByteArray pulseServer_;
    QByteArray headless_;
    bool applied_ = false;
};

} // namespace keldtest
