#pragma once
#include <QString>

#include <functional>

class QWidget;

// Hands a link text to the desktop's default handler (a browser, a mail program),
// the way the shell's "open" verb does. Whether a handler took it is not reported.
void ShellOpen(const QString& target, QWidget* owner = nullptr);

// What ShellOpen calls; tests put a recorder here. An empty opener restores the
// desktop's. Returns the previous opener.
using ShellOpener = std::function<void(const QString& target, QWidget* owner)>;
ShellOpener SetShellOpener(ShellOpener opener);
