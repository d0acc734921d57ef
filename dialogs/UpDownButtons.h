#pragma once

#include <QWidget>

class QToolButton;

// A small pair of arrow buttons that reports each press as a delta: -1 for
// the up (or left) arrow, +1 for the down (or right) arrow. Holding a
// button repeats it; with the focus, the arrow keys press them too. It
// keeps a position within a range for the dialogs that read one.
class CUpDownButtons : public QWidget {
    Q_OBJECT

public:
    explicit CUpDownButtons(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Vertical);

    Qt::Orientation Orientation() const { return m_orientation; }
    void SetOrientation(Qt::Orientation orientation);

    int Position() const { return m_position; }
    void SetPosition(int position);
    void SetRange(int lower, int upper);

    // Presses one of the arrows, as a click would.
    void Step(int delta);

signals:
    // Emitted before the position changes. A receiver that sets *refuse
    // keeps the position where it is.
    void DeltaPos(int delta, bool* refuse);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutArrows();

    Qt::Orientation m_orientation;
    QToolButton* m_less;
    QToolButton* m_more;
    int m_position = 0;
    int m_lower = 0;
    int m_upper = 100;
};
