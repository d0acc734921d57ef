#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/PaletteMessages.h"
#include "tests/support/DialogCanceller.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <tuple>
#include <vector>

namespace {

// Records the private messages that reach the palette.
class MessageRecorder : public QObject {
public:
    std::vector<int> messages;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const int type = static_cast<int>(event->type());
        if (type >= UWM_ADD_CATEGORY && type <= UWM_RENAME_CATEGORY) {
            messages.push_back(type);
        }
        return false;
    }
};

class ContextMenuTest : public PaletteTest {
protected:
    CMumbletDlg& Start() {
        CMumbletDlg& p = StartPalette();
        p.installEventFilter(&recorder);
        return p;
    }

    // The menu's texts (separators as "-") and the messages its commands post.
    template <typename Fill>
    std::pair<QStringList, std::vector<int>> Run(Fill fill) {
        QMenu menu;
        fill(menu);
        QStringList texts;
        for (QAction* action : menu.actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->isSeparator()) {
                EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
                action->trigger();
            }
        }
        QCoreApplication::processEvents();
        return {texts, recorder.messages};
    }

    // Closes the popup menu that a right click opens, once it is up.
    static void CloseMenuWhenShown() {
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
    }

    MessageRecorder recorder;
};

TEST_F(ContextMenuTest, TheItemMenuPostsItsCommands) {
    CMumbletDlg& p = Start();
    CDialogCanceller cancel; // the palette runs the commands' dialogs
    prompts.QueueAnswer(QMessageBox::No);
    const auto [texts, messages] = Run([&](QMenu& menu) { p.Mnemonics().FillItemMenu(menu); });
    EXPECT_EQ(texts, QStringList({"&Add Item...", "-", "&Rename Mnemonic...", "&Delete Item...",
                                  "-", "&Properties && Randomize..."}));
    EXPECT_EQ(messages, (std::vector<int>{UWM_ADD_ITEM, UWM_RENAME_MNEMONIC, UWM_DELETE_ITEM,
                                          UWM_ITEM_PROPERTIES}));
}

TEST_F(ContextMenuTest, TheCategoryMenuPostsItsCommandsEvenWithoutCategories) {
    QueryDirect(library.path, "DELETE FROM tblCategory");
    CMumbletDlg& p = Start();
    CDialogCanceller cancel; // the palette runs the commands' dialogs
    const auto [texts, messages] = Run([&](QMenu& menu) { p.Category().FillCategoryMenu(menu); });
    EXPECT_EQ(texts, QStringList({"&Add Category...", "-", "&Rename Category",
                                  "&Delete Category...", "-", "&Sort Categories..."}));
    EXPECT_EQ(messages, (std::vector<int>{UWM_ADD_CATEGORY, UWM_RENAME_CATEGORY,
                                          UWM_DELETE_CATEGORY, UWM_SORT_CATEGORIES}));
}

TEST_F(ContextMenuTest, ARightClickSelectsTheEntryUnderThePointer) {
    CMumbletDlg& p = Start();
    CDDListBox& list = p.Mnemonics();
    list.setCurrentRow(0);
    CloseMenuWhenShown();
    QTest::mousePress(list.viewport(), Qt::RightButton, Qt::NoModifier,
                      list.visualRect(list.Model().index(2)).center());
    EXPECT_EQ(list.currentRow(), 2);

    // Below the last entry the selection stays.
    CloseMenuWhenShown();
    QTest::mousePress(list.viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(10, list.viewport()->height() - 3));
    EXPECT_EQ(list.currentRow(), 2);
    EXPECT_TRUE(recorder.messages.empty()) << "closing the menu runs no command";
}

TEST_F(ContextMenuTest, ARightClickOnTheSelectorKeepsItsSelection) {
    CMumbletDlg& p = Start();
    p.Category().setCurrentIndex(1);
    CloseMenuWhenShown();
    QTest::mousePress(&p.Category(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(p.Category().currentIndex(), 1);
    EXPECT_FALSE(p.Category().view()->isVisible()) << "the drop-down stays closed";
}

// Without a mouse: the Menu key or Shift+F10 opens each control's menu.
TEST_F(ContextMenuTest, TheMenuKeysOpenEachControlsMenu) {
    CMumbletDlg& p = Start();
    const std::tuple<QWidget*, Qt::Key, Qt::KeyboardModifiers, std::string> presses[] = {
        {&p.Mnemonics(), Qt::Key_Menu, Qt::NoModifier, "Item"},
        {&p.Category(), Qt::Key_F10, Qt::ShiftModifier, "Category"}};
    for (const auto& [control, key, modifiers, title] : presses) {
        QString shown;
        QTimer::singleShot(50, [&shown] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = popup->title();
                popup->close();
            }
        });
        QTest::keyClick(control, key, modifiers);
        EXPECT_EQ(shown.toStdString(), title);
    }
}

TEST_F(ContextMenuTest, ADoubleClickAsksForTheItemsProperties) {
    CMumbletDlg& p = Start();
    CDDListBox& list = p.Mnemonics();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                       list.visualRect(list.Model().index(1)).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.messages, std::vector<int>{UWM_ITEM_PROPERTIES});
}

} // namespace
