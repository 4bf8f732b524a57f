#pragma once
#include <QString>

// Every command string the player sends to the MCI service, spelled once. The
// player's one medium is always the alias "vid"; the spelling (including the
// capitals of "Put vid window" and "Status vid ready") is what the player has
// always sent, so scripts and tests that read the strings see no change.
namespace vid {

// --- opening and closing --------------------------------------------------------
QString open(const QString& element);                        // "open X alias vid"
QString openWithDevice(const QString& device, const QString& element);   // "open D!X alias vid"
QString openDevice(const QString& device);                    // a bare device: "open D alias vid"
QString close();

// --- transport ----------------------------------------------------------------
QString play();
QString playReverse();
QString stop();
QString pause();
QString resume();
QString step();
QString stepReverse();
QString seekTo(qint64 frame);
QString seekToStart();
QString seekToEnd();

// --- questions ------------------------------------------------------------------
QString statusPosition();
QString statusLength();
QString statusMode();
QString statusReady();
QString statusNominalFrameRate();
QString statusIndexed();                                      // how far a big medium is indexed
QString capability(const char* item);                         // "capability vid <item>"
QString whereSource();

// --- settings -------------------------------------------------------------------
QString setTimeFormatFrames();
QString setVolume(int volume);

// --- picture ----------------------------------------------------------------------
QString windowHandle(const QString& handle);
QString windowStateShowNormal();
QString update();
QString putDestination(int left, int top, int width, int height);
QString putWindow(int left, int top, int width, int height);
QString capture(const QString& path);
QString configure();

// --- device discovery -------------------------------------------------------------
QString sysinfoQuantity();
QString sysinfoName(int number);

} // namespace vid
