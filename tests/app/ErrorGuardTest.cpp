#include "app/ErrorGuard.h"
#include "store/DaoException.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace {

// A widget whose handling of one event type throws.
class CThrowingWidget : public QWidget {
public:
    explicit CThrowingWidget(std::function<void()> thrower) : m_thrower(std::move(thrower)) {}
    int handled = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++handled;
            m_thrower();
            return true;
        }
        return QWidget::event(e);
    }

private:
    std::function<void()> m_thrower;
};

struct GuardCase {
    const char* label;
    std::function<void()> thrower;
    QString expectedText;
};

void PrintTo(const GuardCase& c, std::ostream* os) {
    *os << c.label;
}

class ErrorGuard : public testing::TestWithParam<GuardCase> {};

} // namespace

TEST_P(ErrorGuard, ReportsWhatEscapesAnEventHandlerAndGoesOn) {
    CScriptedPromptService prompts;
    CThrowingWidget widget(GetParam().thrower);

    QEvent sent(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&widget, &sent));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    EXPECT_EQ(widget.handled, 2);
    ASSERT_EQ(prompts.messages.size(), 2u);
    for (const auto& message : prompts.messages) {
        EXPECT_EQ(message.text, GetParam().expectedText);
        EXPECT_EQ(message.caption, QStringLiteral("Blurtle (TM)"));
        EXPECT_EQ(message.icon, CPromptService::Icon::Stop);
        EXPECT_EQ(message.buttons, QMessageBox::Ok);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrorGuard,
    testing::Values(GuardCase{"database", [] { throw CDaoException("no such table: tblPhrase"); },
                              QStringLiteral("no such table: tblPhrase")},
                    GuardCase{"standard", [] { throw std::runtime_error("disk full"); },
                              QStringLiteral("disk full")},
                    GuardCase{"anythingElse", [] { throw 42; },
                              QStringLiteral("An unexpected error stopped this step.")}),
    [](const testing::TestParamInfo<GuardCase>& param) { return std::string(param.param.label); });

TEST(RunGuarded, ReportsAndTellsWhetherTheStepRanThrough) {
    CScriptedPromptService prompts;
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw CDaoException("file is not a database"); }));
    EXPECT_EQ(prompts.MessageTexts(), QStringList({"file is not a database"}));
}
