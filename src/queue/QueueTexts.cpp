// The queue editor's part of the text table (shell/language.h).
#include "shell/language.h"

#include "queue/QueueForm.h"
#include "shell/Captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

void ApplyQueueTexts(TQueueForm& editor)
{
    SetHint(editor.BtnAuf, QStringLiteral("Move entry up."));
    SetHint(editor.BtnAb, QStringLiteral("Move entry down."));
    SetHint(editor.ListBox1, QStringLiteral("Double click starts queue play with selected entry."));
    SetHint(editor.Button1, QStringLiteral("OK starts queue play with first queue entry."));
    editor.setWindowTitle(QStringLiteral("Queue"));
    SetCaption(editor.BtnAdd, QStringLiteral("Add  >"));
    SetCaption(editor.BtnDel, QStringLiteral("<  Remove"));
    SetCaption(editor.BtnAddAll, QStringLiteral("Add all  >>"));
    SetCaption(editor.BtnDelAll, QStringLiteral("<<  Rmv all"));
    SetCaption(editor.Button2, QStringLiteral("Cancel"));
    AssignQueueMessages();
    SetHint(editor.BtnLoad, QStringLiteral("Import queue entries from file."));
    SetHint(editor.BtnSave, QStringLiteral("Export queue entries to file."));
}
