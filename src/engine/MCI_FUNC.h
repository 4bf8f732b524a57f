#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace mci { class MciBackend; }

// The command channel: the only two ways a command string leaves the player.

// Sends a command silently. The reply is trimmed of leading and trailing
// characters up to the blank; both outputs are overwritten on every call.
void SendMciString(const QString& command, QString& reply, quint32& error);

// Sends a command whose failure the user must see (the open): the busy cursor
// shows while it runs, and a long one runs behind an interface that goes on
// answering (OpenInProgress.h). On failure the device's error text goes to the
// error hook, unless the user ended the open. Returns true on success.
bool mciExecute(const QString& command);

// A reply counts as true when its first four characters are "true".
bool MciReplyIsTrue(const QString& reply);

// The service the channel talks to; not owned. Returns the previous one.
mci::MciBackend* SetMciBackend(mci::MciBackend* backend);
mci::MciBackend* MciBackendInUse();

// Where mciExecute shows an error text; the application sets a modal message box.
using MciErrorHook = std::function<void(const QString& text)>;
void SetMciErrorHook(MciErrorHook hook);
// Shows `text` where mciExecute shows a device's error text.
void ShowMciError(const QString& text);

// ---- Device and file-type discovery ------------------------------------------

// Adds every entry of the MCI extension table to `lines` as "key=value". A line
// that already starts with the key and "=" (key compared without regard to case,
// as the profile functions do) is replaced; any other entry is appended. The list
// is not emptied first.
void ReadMciExtensions(QStringList& lines);

// Empties `devices` and fills it with the installed devices of type digitalvideo
// or animation, in the system's numbering; then reads the extension table into
// `extensions` and keeps only the bare extensions bound to one of those devices.
// When "sysinfo all quantity" fails, `extensions` is left as it was.
// Each device is opened briefly under "vid": call it only while no medium is open.
void ListVideoDevices(QStringList& devices, QStringList& extensions);
