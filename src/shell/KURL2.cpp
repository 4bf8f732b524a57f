#include "shell/KURL2.h"

#include "platform/ShellOpen.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr int kHeight = 13;
const char* const kPlaceholderLink = "https://www.example.org";

} // namespace

TKURL2::TKURL2(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Put here the Hint for your site link!"));

    Label = new QLabel(QString::fromLatin1(kPlaceholderLink), this);
    Label->setTextFormat(Qt::PlainText);
    QPalette palette = Label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    Label->setPalette(palette);
    QFont font = Label->font();
    font.setUnderline(true);
    Label->setFont(font);
    Label->move(0, 0);
    Label->installEventFilter(this);
    Label->show();

    FitToLabel();
}

TKURL2::~TKURL2() = default;  // the child label goes with its parent

QString TKURL2::URLorEMAIL() const
{
    return Label->text();
}

void TKURL2::SetURLorEMAIL(const QString& text)
{
    Label->setText(text);
    FitToLabel();
}

bool TKURL2::ShowHint() const
{
    return labelShowsHint_;
}

void TKURL2::SetShowHint(bool show)
{
    labelShowsHint_ = show;
}

QString TKURL2::Target() const
{
    return Choose == ltEMAIL ? QStringLiteral("mailto:") + URLorEMAIL() : URLorEMAIL();
}

void TKURL2::Open()
{
    ShellOpen(Target(), window());
}

void TKURL2::FitToLabel()
{
    Label->adjustSize();
    // Never cut the text off: a font taller than the classic 13 pixels gets its room.
    resize(Label->width(), std::max(kHeight, Label->height()));
}

bool TKURL2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Label)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ToolTip:
        // The label has no hint of its own: an unhandled tool tip request goes on to
        // this control and shows its hint, unless hints are switched off.
        return !labelShowsHint_;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label->rect().contains(mouse->position().toPoint()))
            Open();
        return false;
    }
    default:
        return false;
    }
}
