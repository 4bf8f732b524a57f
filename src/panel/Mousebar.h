#pragma once
#include <QSlider>

// A horizontal position track bar that, beyond an ordinary slider, reports the
// mouse going down, moving and coming up, with the pixel position inside the bar.
// A press does not page-step: the owner of the OnMouseDown handler decides where
// the thumb goes. While the left button is held, moves put the thumb under the
// cursor. Only the left button clicks: the right one is the panel's menu. The bar
// takes no focus, keys or wheel: the keys are the panel's commands, and a thumb
// moved without a seek would show a position the device is not at.
class TMousebar : public QSlider {
    Q_OBJECT
public:
    explicit TMousebar(QWidget* parent = nullptr);

    // The position that a click at pixel x stands for: below 6 the minimum,
    // above width - 6 the maximum, otherwise maximum * x / width.
    int PositionAt(int x) const;

signals:
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnEnter();
    void OnExit();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool held_ = false;
};
