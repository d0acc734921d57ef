// The library file dialog as its user meets it: Qt's own dialog, where a
// server address typed into the file name comes back as typed and a file
// name works as ever.
#include "dialogs/PromptService.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>
#include <ostream>

namespace {

const QString kFilter = QStringLiteral("Blurtle (TM) Databases (*.blz);;Older libraries (*.mdb)");

// What the user saw while driving the dialog.
struct Seen {
    bool ownDialog = false; // Qt's widgets, not the desktop's dialog
    QString label;          // of the file name field
    QString warning;        // a message box the dialog raised
};

// Types `typed` (if any) into the file name of the next file dialog and
// presses Enter; dismisses any message box that brings and cancels the
// dialog if it is still up after that.
class CDialogDriver {
public:
    explicit CDialogDriver(std::optional<QString> typed) : m_typed(std::move(typed)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Step(); });
        m_poll.start(10);
    }
    Seen seen;

private:
    void Step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.warning = box->text();
            box->reject();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            return;
        }
        if (m_pressed) {
            dialog->reject(); // Enter did not end it
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"));
        if (name == nullptr || label == nullptr) {
            dialog->reject();
            return;
        }
        seen.ownDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
        seen.label = label->text();
        if (m_typed.has_value()) {
            name->clear();
            QTest::keyClicks(name, *m_typed);
        }
        m_pressed = true;
        // Pressed after this step returns: a message box that Enter brings
        // up runs its own loop, in which this poll must go on.
        QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
    }

    std::optional<QString> m_typed;
    bool m_pressed = false;
    QTimer m_poll;
};

struct TypedCase {
    const char* name;
    const char* initial;              // relative to a temporary folder, unless an address
    std::optional<const char*> typed; // nothing: Enter on what the dialog shows
    const char* expected;             // relative to the folder, unless an address; "" cancels
    bool warned;
};

void PrintTo(const TypedCase& c, std::ostream* os) {
    *os << c.name;
}

class LibraryFileDialog : public testing::TestWithParam<TypedCase> {
protected:
    QString InFolder(const char* text) const {
        const QString value = QString::fromUtf8(text);
        return value.isEmpty() || value.startsWith("postgres") ? value : dir.filePath(value);
    }
    QTemporaryDir dir;
};

TEST_P(LibraryFileDialog, GivesBackWhatWasTyped) {
    QFile library(dir.filePath("chosen.blz"));
    ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    library.close();

    const TypedCase& c = GetParam();
    CDialogDriver driver(c.typed ? std::optional<QString>(QString::fromUtf8(*c.typed))
                                 : std::nullopt);
    CWidgetPromptService prompts;
    const QString chosen = prompts.ChooseFileToOpen(nullptr, InFolder(c.initial), kFilter, "blz");

    EXPECT_EQ(chosen, InFolder(c.expected));
    EXPECT_TRUE(driver.seen.ownDialog);
    EXPECT_TRUE(driver.seen.label.contains("server address")) << driver.seen.label.toStdString();
    EXPECT_EQ(!driver.seen.warning.isEmpty(), c.warned) << driver.seen.warning.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Typed, LibraryFileDialog,
    testing::Values(TypedCase{"Address", "start.blz",
                              "postgresql://reader@db.example.org:5433/phrases?sslmode=require",
                              "postgresql://reader@db.example.org:5433/phrases?sslmode=require",
                              false},
                    TypedCase{"ShortScheme", "start.blz", "postgres://db.example.org/phrases",
                              "postgres://db.example.org/phrases", false},
                    TypedCase{"SocketAddress", "start.blz",
                              "postgresql:///phrases?host=/run/postgresql",
                              "postgresql:///phrases?host=/run/postgresql", false},
                    // The current library, an address, is offered again as it is.
                    TypedCase{"CurrentAddress", "postgresql://db.example.org/phrases", std::nullopt,
                              "postgresql://db.example.org/phrases", false},
                    TypedCase{"ExistingFile", "start.blz", "chosen.blz", "chosen.blz", false},
                    TypedCase{"MissingFile", "start.blz", "missing.blz", "", true}),
    [](const testing::TestParamInfo<TypedCase>& param) { return std::string(param.param.name); });

} // namespace
