#include "dragdrop/DragListEx.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>

namespace {

class DragListExTest : public testing::Test {
protected:
    void SetUp() override {
        list.resize(200, 400);
        for (const char* text : {"A", "B", "C", "D"}) {
            auto* item = new QListWidgetItem(QString::fromLatin1(text));
            item->setData(Qt::UserRole, QString::fromLatin1(text).toLower());
            list.addItem(item);
        }
        list.show();
    }

    QStringList Texts() const {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i) {
            texts << list.item(i)->text();
        }
        return texts;
    }

    // A point in the upper (before) or lower (after) half of entry `row`.
    QPoint At(int row, bool lowerHalf) const {
        const QRect rect = list.visualItemRect(list.item(row));
        return {rect.center().x(), lowerHalf ? rect.bottom() - 1 : rect.top() + 1};
    }

    CDragListEx list;
};

struct MoveCase {
    const char* name;
    int source;
    int targetRow;
    bool lowerHalf;
    QStringList expected;
    int selected;
};

class DragListMoves : public DragListExTest, public testing::WithParamInterface<MoveCase> {};

TEST_P(DragListMoves, MoveTheEntryAndRememberTheDrop) {
    const MoveCase& c = GetParam();
    list.setCurrentRow(c.source);
    list.Dropped(c.source, At(c.targetRow, c.lowerHalf));
    EXPECT_EQ(Texts(), c.expected);
    EXPECT_EQ(list.currentRow(), c.selected);
    EXPECT_TRUE(list.WasDropped());
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DragListMoves,
    testing::Values(MoveCase{"DownPastTwo", 0, 2, true, {"B", "C", "A", "D"}, 2},
                    MoveCase{"UpToTop", 3, 0, false, {"D", "A", "B", "C"}, 0},
                    MoveCase{"OntoItself", 1, 1, false, {"A", "B", "C", "D"}, 1},
                    MoveCase{"JustBelowItself", 1, 1, true, {"A", "B", "C", "D"}, 1},
                    MoveCase{"ToTheEnd", 0, 3, true, {"B", "C", "D", "A"}, 3}),
    [](const testing::TestParamInfo<MoveCase>& p) { return std::string(p.param.name); });

TEST_F(DragListExTest, KeepsTheEntryDataAndCountsADropBelowTheList) {
    EXPECT_FALSE(list.WasDropped());
    list.Dropped(1, QPoint(10, 390));
    EXPECT_EQ(Texts(), QStringList({"A", "C", "D", "B"}));
    EXPECT_EQ(list.item(3)->data(Qt::UserRole).toString(), "b");
}

TEST_F(DragListExTest, ADropEventFromItselfMovesAndOneFromElsewhereIsRefused) {
    auto* mime = new QMimeData;
    list.setCurrentRow(0);
    QDropEvent own(QPointF(At(2, true)), Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    // The event's source is the drag's source widget; outside a real drag
    // there is none, so this drop counts as foreign.
    QApplication::sendEvent(list.viewport(), &own);
    EXPECT_FALSE(list.WasDropped());
    EXPECT_EQ(Texts(), QStringList({"A", "B", "C", "D"}));
    delete mime;
}

} // namespace
