// The password dialog as its user meets it: the question, a field that
// hides what is typed, and what OK or Escape give back.
#include "dialogs/PromptService.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <optional>

namespace {

// Types into the next password dialog and ends it with `key`, recording
// what the dialog showed.
class CPasswordTyper {
public:
    CPasswordTyper(QString typed, Qt::Key key) : m_typed(std::move(typed)), m_key(key) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Step(); });
        m_poll.start(10);
    }
    QString caption;
    QString label;
    bool hidden = false;

private:
    void Step() {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        if (m_done) {
            dialog->reject(); // the key did not end it
            return;
        }
        m_done = true;
        caption = dialog->windowTitle();
        label = dialog->labelText();
        auto* field = dialog->findChild<QLineEdit*>();
        if (field == nullptr) {
            return;
        }
        hidden = field->echoMode() == QLineEdit::Password;
        QTest::keyClicks(field, m_typed);
        QTest::keyClick(field, m_key);
    }

    QString m_typed;
    Qt::Key m_key;
    bool m_done = false;
    QTimer m_poll;
};

TEST(PasswordDialog, AsksWithHiddenTypingAndGivesBackWhatWasTyped) {
    const QString text = QStringLiteral("The library server asks for the password of ann.");
    CWidgetPromptService prompts;
    {
        CPasswordTyper typer(QStringLiteral("s3cret 'pass'"), Qt::Key_Return);
        EXPECT_EQ(prompts.AskPassword(nullptr, "Blurtle (TM)", text),
                  std::optional<QString>("s3cret 'pass'"));
        EXPECT_EQ(typer.caption, "Blurtle (TM)");
        EXPECT_EQ(typer.label, text);
        EXPECT_TRUE(typer.hidden);
    }
    {
        CPasswordTyper typer(QStringLiteral("typed"), Qt::Key_Escape);
        EXPECT_EQ(prompts.AskPassword(nullptr, "Blurtle (TM)", text), std::nullopt);
    }
}

} // namespace
