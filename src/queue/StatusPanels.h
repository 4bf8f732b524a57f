#pragma once
#include <QFrame>

class QLabel;

// The editor's status bar: three panels side by side, 240, 50 (right-aligned)
// and 50 pixels wide.
class TStatusPanels : public QFrame {
    Q_OBJECT
public:
    explicit TStatusPanels(QWidget* parent = nullptr);

    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);

private:
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
};
