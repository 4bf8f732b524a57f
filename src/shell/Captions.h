#pragma once
class QAbstractButton;
class QAction;
class QLabel;
class QString;
class QTabWidget;
class QWidget;

// Puts a text on a window's control for the text table (shell/language.h). A
// control the window has not made (null) is passed over.
void SetCaption(QAbstractButton* control, const QString& text);
void SetCaption(QLabel* control, const QString& text);
void SetCaption(QAction* item, const QString& text);
// A page's caption is its tab's text; the tab keeps it while hidden.
void SetTabCaption(QTabWidget* tabs, QWidget* page, const QString& text);
void SetHint(QWidget* control, const QString& text);
