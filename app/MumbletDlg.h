#pragma once

#include "app/DropPolicy.h"
#include "app/LiveRefresh.h"
#include "app/PaletteFind.h"
#include "app/PalettePlacement.h"
#include "app/PendingOrder.h"
#include "automation/AutomatedWindow.h"
#include "dragdrop/MnemonicModel.h"
#include "dragdrop/PaletteHost.h"
#include "store/MnemonicsInCategoryQry.h"

#include <QDialog>
#include <QIcon>
#include <QMenu>
#include <QRect>
#include <QTimer>

#include <QStringList>

#include <exception>
#include <memory>
#include <vector>

class CComboRightClick;
class CDDListBox;
class CUpDownButtons;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace Ui {
class MumbletDlg;
}

// The palette: the program's one main window. A narrow, resizable window
// that stays above all others, with the category selector over the list of
// the selected category's mnemonics, the sort arrows and the help button.
// It remembers the selected category and its own place and size, hides
// instead of closing when the user closes it, and carries the window menu.
//
// Ending the palette ends the program; only three roads lead there: the
// program's own close request (close(), after a library change or when an
// automation start takes over), "Exit" in the window menu, and Escape.
// Every road that ends or hides the palette stores a pending mnemonic
// order first.
class CMumbletDlg : public QDialog, public CPaletteHost, public CAutomatedWindow {
    Q_OBJECT

public:
    enum { IDD = 102 };
    // The controls' identifiers, kept as the widgets' object names too.
    enum ControlId {
        IDC_MNEMONICS = 1000,
        IDC_CATEGORY = 1001,
        IDC_SORT_SPIN = 1011,
        IDC_ONLINE_HELP = 1034,
    };
    // The window menu's commands.
    enum Command {
        IDM_ABOUTBOX = 0x0010,
        IDM_CHANGEDATABASE = 0x0020,
        ID_APP_EXIT = 57665,
    };

    explicit CMumbletDlg(QWidget* parent = nullptr);
    ~CMumbletDlg() override;

    // Initialises the palette and shows it. A database error on the way is
    // reported and the palette shows what it has, so the window menu can
    // still choose another library or end the program.
    void Start();
    // The initialisation itself, in its fixed order; throws what the
    // library throws.
    void OnInitDialog();

    // Appends one entry per category, in the library's order. Does not
    // clear the selector first.
    void FillCategories();
    // Stores a pending mnemonic order, refills the list for the selected
    // category and remembers the category.
    void OnSelchangeCategory();
    // False (and the palette hidden) while an automation client holds the
    // palette. A close put off this way is carried out when the last client
    // lets go, unless the palette was shown again meanwhile.
    bool CanExit();

    void LayoutControls();
    void SaveWindowPlacement() { m_placement.Save(); }
    void RestoreWindowPlacement() { m_placement.Restore(); }

    // A press on the sort arrows: -1 up, +1 down.
    void OnDeltaposSortSpin(int delta);
    void OnTimer(int id);
    void OnOnlineHelp();
    void OnSysCommand(int command);
    // Makes `text` a new item at the end of the selected category's list:
    // the trimmed text as its one iteration with weight 9, its first 50
    // characters as the mnemonic, no leading punctuation and two trailing
    // spaces. Returns false when no category is selected or the text is one
    // an item can't hold. Database errors are thrown.
    bool AddDroppedText(const QString& text) { return m_drops->Add(text); }
    // Text dropped onto the list, decided and taken at once: false when
    // nothing was added (the reason is told after the drop).
    bool TakeDroppedText(const QString& text) { return m_drops->Take(m_drops->Decide(text)); }

    // The commands of the selector's and the list's menus (and a double
    // click in the list), carried out when their posted message arrives.
    // The item commands act on the list's selection at that moment.
    void AddCategory();
    void DeleteCategory();
    void AddItem();
    void DeleteItem();
    void RenameMnemonic();
    void EditItemProperties();
    void SortCategories();
    void RenameCategory();

    // A later start of the program asks for the palette.
    void BringForward();
    // An automation start takes over: the palette hides and runs its close
    // steps. While the user is in a dialog (the item editor, a question, a
    // message) it first comes forward with that dialog and closes only
    // once the dialog has ended, so nothing the user typed is lost.
    void CloseForAnotherStart();
    // How often a close held back for a dialog looks whether it has ended.
    static constexpr int kDialogWatchMs = 100;
    // The program is about to end without the palette's own roads (the
    // desktop session ends, or the application quits): what the user
    // arranged is stored first.
    void OnSessionEnding();

    // Makes sure the palette shows the library file its path names now: a
    // file renamed over it (a sync tool, a restored backup) is read afresh,
    // keeping the selected category and entry; a library no longer there is
    // reported once. Runs whenever the palette is activated.
    void FollowLibrary();

    // The library changed (another palette, another program, or this one):
    // the selector and the list are brought up to date as soon as the user
    // is not in the middle of something (a drag, a press, a menu, a
    // dialog), keeping the selected category and entry. An order the user
    // is giving the list is stored first; while it can't be, the list
    // stays as the user arranged it.
    void OnLibraryChanged() { m_refresh.OnLibraryChanged(); }
    bool IsRefreshPending() const { return m_refresh.IsPending(); }
    // Whether changes to the library are heard now (false while its server
    // is out of reach).
    bool IsListening() const { return m_refresh.IsListening(); }

    // CPaletteHost
    QRect GetListRect() const override { return m_rcList; }
    void SetListRect(const QRect& screenRect) override { m_rcList = screenRect; }
    void SetPaletteTimer(int id, int milliseconds) override;
    CDropDecision DecideDrop(const QString& text) const override { return m_drops->Decide(text); }
    bool TakeDrop(const CDropDecision& decision) override { return m_drops->Take(decision); }
    void ExplainRefusedDrop(const QString& reason) override {
        m_drops->TellAfterDrop(reason, false);
    }
    void KillPaletteTimer(int id) override;
    bool IsPaletteTimerActive(int id) const;

    QMenu& WindowMenu() { return m_windowMenu; }
    void ShowWindowMenu(const QPoint& globalPos);

    CComboRightClick& Category() { return *m_ctlCategory; }
    CDDListBox& Mnemonics() { return *m_ctlMnemonics; }
    CUpDownButtons& SortSpin() { return *m_ctlSortSpin; }
    QPushButton& OnlineHelp() { return *m_ctlOnlineHelp; }
    QToolButton& WindowMenuButton();
    bool IsInitializing() const { return m_bInitializing; }
    bool IsOrderChanged() const { return m_order->IsChanged(); }
    QLineEdit& FindField();
    bool IsFinding() const { return m_find->IsFinding(); }

public slots:
    void accept() override; // Enter: nothing
    void reject() override; // Escape

protected:
    void OnAutomationReleased() override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BindControls();
    // The smallest size at which the controls still fit side by side.
    void FixMinimumSize();
    void BuildWindowMenu();
    void SelectRememberedCategory();
    bool RunCloseSteps();
    void OnAppExit();
    void ShowLibraryFromItsPath();

    static QStringList ReadCategoryLines();
    // The list shows the entries of the category on `line`, read as they
    // come into view.
    void ShowCategoryEntries(const QString& line);
    // Brings the selector and the list up to what the library holds,
    // touching them only where they differ.
    void RefreshFromLibrary();
    // Shows `line` at the list's entry `row` (its stored position kept) and
    // selects it.
    void ReplaceEntry(int row, const QString& line);
    // The timer with `id`, or null.
    QTimer* PaletteTimer(int id);

    std::unique_ptr<Ui::MumbletDlg> m_ui;
    QPushButton* m_ctlOnlineHelp = nullptr;
    CUpDownButtons* m_ctlSortSpin = nullptr;
    CComboRightClick* m_ctlCategory = nullptr;
    CDDListBox* m_ctlMnemonics = nullptr;
    QRect m_rcList;
    QIcon m_hIcon;
    bool m_bInitializing = true;
    CMnemonicsInCategoryQry m_rsPhrases;

    QTimer m_hideTimer; // palette timer 1
    QTimer m_showTimer; // palette timer 2
    bool m_bToldLibraryGone = false;
    bool m_bCloseDeferred = false; // see CanExit
    QTimer m_takeOverTimer;        // see CloseForAnotherStart
    QMenu m_windowMenu;

    // The concerns the palette wires together, each owning its state.
    CPalettePlacement m_placement{*this};
    CLiveRefresh m_refresh;
    std::unique_ptr<CPendingOrder> m_order; // made when the controls are bound
    std::unique_ptr<CDropPolicy> m_drops;   // likewise
    std::unique_ptr<CPaletteFind> m_find;   // likewise
};
