#pragma once

#include <QListWidget>

// The category sort dialog's list: the user drags an entry to a new place
// within the list. It remembers that something was dropped, even a drop
// that moved nothing, so the dialog knows whether to store the order.
class CDragListEx : public QListWidget {
    Q_OBJECT
public:
    explicit CDragListEx(QWidget* parent = nullptr);
    ~CDragListEx() override;

    bool WasDropped() const { return m_bDropped; }

    // A dragged entry was released over the list at `pos` (viewport
    // coordinates): removes it and inserts it where the insertion mark
    // was, keeping its data, and selects it. A drop on the entry itself or
    // just below it moves nothing.
    virtual void Dropped(int sourceIndex, const QPoint& pos);

    // The index before which an entry dropped at `pos` lands: the entry
    // under the point, or the one after it in the entry's lower half, or
    // the end of the list below the last entry.
    int InsertionIndexAt(const QPoint& pos) const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool m_bDropped = false;
    int m_dragSource = -1;
};
