#include "dragdrop/DDListBox.h"
#include "dragdrop/PaletteHost.h"
#include "tests/dragdrop/ForeignDrag.h"
#include "tests/dragdrop/ScriptedPointer.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// A palette whose say over dropped text the test decides: the drop target
// must follow it, whatever the reason.
class CDoubtfulPalette : public QWidget, public CPaletteHost {
public:
    CDoubtfulPalette() {
        auto* layout = new QVBoxLayout(this);
        list = new CDDListBox(this);
        list->SetHost(this);
        layout->addWidget(list);
        resize(200, 300);
        show();
    }

    QRect GetListRect() const override { return {}; }
    void SetListRect(const QRect&) override {}
    void SetPaletteTimer(int, int) override {}
    void KillPaletteTimer(int) override {}
    CDropDecision DecideDrop(const QString& text) const override {
        return {text, whyNot, mayFail, {}, {}};
    }
    bool TakeDrop(const CDropDecision& decision) override {
        taken << decision.text;
        return addSucceeds;
    }
    void ExplainRefusedDrop(const QString& reason) override { explained << reason; }

    CDDListBox* list = nullptr;
    QString whyNot;
    bool mayFail = false;
    bool addSucceeds = true;
    QStringList taken;
    QStringList explained;
};

struct DoubtCase {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    Qt::DropActions possible;
    Qt::DropAction told; // what the source is told while dragging
};

class DropInDoubt : public testing::TestWithParam<DoubtCase> {};

// When the drop may still fail, a source is never told "move": a failed
// drop must not make it delete its text.
TEST_P(DropInDoubt, IsNeverAMove) {
    const DoubtCase& c = GetParam();
    CDoubtfulPalette palette;
    palette.mayFail = true;
    palette.addSucceeds = false;
    QMimeData data;
    data.setText("good words");
    QWidget* viewport = palette.list->viewport();
    SourceView view;
    EnterAndMove(viewport, data, QPoint(10, 10), c.modifiers, c.possible, view);
    EXPECT_EQ(view.Result(), c.told);
    if (view.moveAccepted) {
        QDropEvent drop(QPointF(12, 10), c.possible, &data, Qt::LeftButton, c.modifiers);
        QApplication::sendEvent(viewport, &drop);
        EXPECT_FALSE(drop.isAccepted()) << "the add failed";
        EXPECT_EQ(palette.taken, QStringList{"good words"});
    } else {
        QDragLeaveEvent leave;
        QApplication::sendEvent(viewport, &leave);
        EXPECT_TRUE(palette.taken.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DropInDoubt,
    testing::Values(
        DoubtCase{"NoCtrl", Qt::NoModifier, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction},
        DoubtCase{"Ctrl", Qt::ControlModifier, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction},
        DoubtCase{"SourceOffersOnlyAMove", Qt::NoModifier, Qt::MoveAction, Qt::IgnoreAction},
        DoubtCase{"SourceOffersOnlyACopy", Qt::NoModifier, Qt::CopyAction, Qt::CopyAction}),
    [](const testing::TestParamInfo<DoubtCase>& p) { return std::string(p.param.name); });

TEST(DropTargetFollowsThePalette, RefusingAnyTextItsPaletteRefuses) {
    // The palette is the one place that decides: a reason of its own (say,
    // a library it can't write) refuses text that is fine in itself.
    CScriptedPointer pointer;
    CDoubtfulPalette palette;
    palette.whyNot = QStringLiteral("The library is read-only.");
    QMimeData data;
    data.setText("good words");
    QWidget* viewport = palette.list->viewport();
    SourceView view;
    EnterAndMove(viewport, data, QPoint(10, 10), Qt::NoModifier, Qt::CopyAction | Qt::MoveAction,
                 view);
    EXPECT_FALSE(view.moveAccepted);
    // Let go over the list: the user is told the palette's reason.
    pointer.state = CPointerQuery::State{viewport->mapToGlobal(QPoint(12, 10)), {}};
    QDragLeaveEvent leave;
    QApplication::sendEvent(viewport, &leave);
    EXPECT_TRUE(palette.taken.isEmpty());
    EXPECT_EQ(palette.explained, QStringList{"The library is read-only."});
}

} // namespace
