#pragma once
#include <QString>
#include <QWidget>

class QLabel;

enum LinkType { ltURL, ltEMAIL };

// A hyperlink label: a blue, underlined link text under a hand pointer that hands
// the link to the desktop when clicked. The control's own hint is the tool tip
// over the text; the control is always as wide as its text.
class TKURL2 : public QWidget {
    Q_OBJECT
public:
    explicit TKURL2(QWidget* parent = nullptr);
    ~TKURL2() override;

    QString URLorEMAIL() const;
    void SetURLorEMAIL(const QString& text);

    LinkType Choose = ltURL;

    bool ShowHint() const;
    void SetShowHint(bool show);

    // What a click on the text does: "mailto:" + text for ltEMAIL, else the text.
    void Open();
    QString Target() const;

    // The child label that draws the link.
    QLabel* Label = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitToLabel();
    bool labelShowsHint_ = true;
};
