// A Qt text editor for end-to-end tests: the program on the other side of a
// drag whose source is a Qt program. QTextEdit starts a real QDrag (copy
// and move allowed) from its selection and deletes the selection when the
// drag's result is a move, as any Qt editor does.
//
//   qt_text_source OUT TEXT SELECTION_START SELECTION_LENGTH
//
// The window is titled "Qt text source - " and OUT's file name. The whole
// text is written to OUT at start, at every change and at exit; OUT.point
// gets "X Y", the middle of the selection relative to the window's inside,
// once the window shows.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

void WriteFile(const QString& path, const QString& text) {
    QFile file(path + QStringLiteral(".new"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text.toUtf8());
        file.close();
        // Readers see the old text or the new one, never half of it.
        QFile::remove(path);
        file.rename(path);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: qt_text_source OUT TEXT SELECTION_START SELECTION_LENGTH\n");
        return 2;
    }
    const QString out = args[1];
    const int start = args[3].toInt();
    const int length = args[4].toInt();

    QTextEdit edit;
    edit.setAcceptRichText(false);
    edit.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    edit.setPlainText(args[2]);
    edit.setWindowTitle(QStringLiteral("Qt text source - ") + QFileInfo(out).fileName());
    edit.resize(600, 200);

    QTextCursor cursor(edit.document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);

    WriteFile(out, edit.toPlainText());
    QObject::connect(&edit, &QTextEdit::textChanged, [&] { WriteFile(out, edit.toPlainText()); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit,
                     [&] { WriteFile(out, edit.toPlainText()); });

    edit.show();
    QTimer::singleShot(200, &edit, [&] {
        QTextCursor first(edit.document());
        first.setPosition(start);
        QTextCursor last(edit.document());
        last.setPosition(start + length);
        const QRect a = edit.cursorRect(first);
        const QRect b = edit.cursorRect(last);
        const QPoint middle = edit.viewport()->mapTo(
            &edit, QPoint((a.center().x() + b.center().x()) / 2, a.center().y()));
        WriteFile(out + QStringLiteral(".point"),
                  QStringLiteral("%1 %2\n").arg(middle.x()).arg(middle.y()));
    });
    return QApplication::exec();
}
