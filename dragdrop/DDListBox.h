#pragma once

#include "dragdrop/MnemonicModel.h"
#include "dragdrop/OleListBoxDropTarget.h"
#include "dragdrop/PointerNudger.h"
#include "store/PhraseTbl.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <memory>

class CPaletteHost;
class QMenu;
class QDropEvent;
class QMimeData;

// The palette's list of mnemonics. Every entry is a mnemonic line (see
// EntryLines.h) whose key names the item's row; the entries are read as
// they come into view (CMnemonicModel). The list keeps its own
// phrase table open for the palette's whole life, so looking an item up at
// a press costs one seek.
//
// Pressing the left button on a mnemonic and dragging it out hands the
// item's composed text (leading punctuation, one iteration drawn by weight,
// trailing punctuation) to whatever program is beneath. The palette hides
// while the drag runs and comes back after the drop. Text dropped onto the
// list becomes a new item; a right click, the Menu key or
// Shift+F10 opens the "Item" menu.
class CDDListBox : public QListView {
    Q_OBJECT

public:
    // The menu commands of the "Item" menu.
    enum Command {
        ID_ADD_ITEM = 32777,
        ID_DELETE_ITEM = 32778,
        ID_RENAME_MNEMONIC = 32781,
        ID_ITEM_PROPERTIES = 32782,
    };
    // How long after a drag starts the palette hides, and after the drop
    // it comes back.
    static constexpr int kHideDelayMs = 150;
    static constexpr int kShowDelayMs = 150;

    explicit CDDListBox(QWidget* parent = nullptr);
    ~CDDListBox() override;

    // The palette that holds the list; null (the default) for a list in no
    // palette. Set once while the palette binds its controls.
    void SetHost(CPaletteHost* host) {
        m_host = host;
        m_dropTarget.SetHost(host);
    }

    // Opens the list's own phrase table on the primary key. Called once
    // while the palette initialises.
    void OpenPhraseTable();

    // Stores the list's order: every entry's index becomes its row's
    // ZOrder. Only rows whose stored position differs are written, all in
    // one transaction, so the order is stored whole or not at all.
    // Entries whose row no longer exists are skipped without a word.
    // Returns true; a database error is thrown (nothing is then stored).
    bool SaveOrder();

    // The item data role holding the position an entry's row is stored at
    // (its ZOrder as read or last written); absent when unknown.
    static constexpr int StoredPositionRole = CMnemonicModel::StoredPositionRole;

    CMnemonicModel& Model() { return m_model; }
    const CMnemonicModel& Model() const { return m_model; }
    int count() const { return m_model.rowCount(); }
    // The whole line and the shown text of entry `row`; empty out of range.
    QString LineAt(int row) const;
    QString TextAt(int row) const;
    // The current entry, -1 for none; whether it is selected too.
    int currentRow() const { return currentIndex().row(); }
    bool IsCurrentSelected() const;
    // Makes `row` the current entry (-1: none) and, by default, the one
    // selected.
    void setCurrentRow(
        int row, QItemSelectionModel::SelectionFlags command = QItemSelectionModel::ClearAndSelect);
    void clear() { m_model.Clear(); }
    // Shows `entries`, the first of what `pages` gives (`complete` when
    // they are all), in place of the list's entries, keeping the current
    // entry (by key), whether it is selected, and the scroll position.
    void Reshow(std::unique_ptr<CEntryPages> pages, std::vector<MnemonicEntry> entries,
                bool complete);

    // Sets the palette's m_rcList: the list's rectangle (screen
    // coordinates) while its own drag-out runs, else an empty rectangle
    // that holds no point.
    void RecordListRect();
    void ResetListRect();

    // Drags the selected entry out: composes its text and runs the drag.
    // Does nothing without a selection or when the entry's row is gone.
    void DragOut();

    // The data of one drag of entry `row`: the item's leading punctuation,
    // one of its iterations drawn by weight, its trailing punctuation, as
    // UTF-8 text. Null when the row is out of range or its item is gone.
    std::unique_ptr<QMimeData> PrepareDragData(int row);

    // The "Item" menu's commands, each posting its message to the palette.
    void FillItemMenu(QMenu& menu);

    CPhraseTbl& PhraseTable() { return m_rsPhrase; }
    bool IsDragging() const { return m_bDragging; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowItemMenu(const QPoint& globalPos);
    // Gives the drag source the drop target's answer (Qt::IgnoreAction
    // refuses).
    static void AnswerDrag(QDropEvent* event, Qt::DropAction action);
    void EndPress();
    // Escape while the button is held and no drag runs yet: forget the
    // press, start no drag.
    void CancelPress();

    CMnemonicModel m_model;
    CPaletteHost* m_host = nullptr;
    QPointer<QMimeData> m_dataSource; // the data of the drag that runs, if any
    COleListBoxDropTarget m_dropTarget;
    CPhraseTbl m_rsPhrase;
    QPoint m_ptDrag; // where the press that started the drag was (list coordinates)

    bool m_bPressed = false;
    bool m_bDragging = false;
    bool m_bPressCancelled = false; // until the button of a cancelled press is up
    QTimer m_holdTimer;             // a press held this long starts the drag unmoved
    CPointerNudger m_nudger;
};
