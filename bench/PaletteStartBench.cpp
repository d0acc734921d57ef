// Start to first paint of the palette, side by side with a bare Qt window
// holding the same widgets and entries, and the peak resident memory of
// each. Every run is a fresh process (this tool started again in a child
// mode) so nothing is warm but the file cache.
//
//   palette_start_bench [--runs N] [--categories C] [--items-per-category I]
//
// The library has C categories of I items each (default 10 x 10,000, i.e.
// 100,000 items) and the remembered category is one of them. The platform
// is whatever QT_QPA_PLATFORM says (offscreen when unset).
#include "app/CommandLine.h"
#include "app/MumbletDlg.h"
#include "dragdrop/EntryLines.h"
#include "store/LibraryFile.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

long long NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString ItemName(int category, int item) {
    return QStringLiteral("Phrase %1.%2").arg(category).arg(item, 5, 10, QLatin1Char('0'));
}

QString CategoryName(int category) {
    return QStringLiteral("Category %1").arg(category);
}

// Prints the time and memory once the first paint of a top-level window
// titled "Blurtle (TM)" has gone through, then ends the process.
class CFirstPaintProbe : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->isWindow() &&
                widget->windowTitle() == QStringLiteral("Blurtle (TM)")) {
                m_seen = true;
                // After this paint's whole flush (the children paint in the
                // same pass).
                QTimer::singleShot(0, [] {
                    std::printf("first-paint %lld %ld\n", NowMicros(), PeakRssKb());
                    std::fflush(stdout);
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};

void InstallProbe() {
    QCoreApplication::instance()->installEventFilter(new CFirstPaintProbe);
}
Q_COREAPP_STARTUP_FUNCTION(InstallProbe)

// The bare window: the same two widgets and the same entries, made from
// memory, no library, no settings.
int RunBare(int argc, char** argv, int categories, int items) {
    QApplication app(argc, argv);
    QDialog window;
    window.setWindowTitle(QStringLiteral("Blurtle (TM)"));
    window.resize(176, 478);
    auto* combo = new QComboBox(&window);
    combo->setGeometry(3, 20, 171, 22);
    for (int c = 0; c < categories; ++c) {
        combo->addItem(CategoryName(c));
    }
    combo->setCurrentIndex(categories / 2);
    auto* list = new QListWidget(&window);
    list->setGeometry(3, 80, 171, 396);
    for (int i = 0; i < items; ++i) {
        list->addItem(ItemName(categories / 2, i));
    }
    window.show();
    return QApplication::exec();
}

// Writes the library: `categories` x `items`, in one transaction.
QString MakeLibrary(const QString& dir, int categories, int items, QString* selectedLine) {
    const QString path = dir + QStringLiteral("/bench.blz");
    CreateLibraryFile(path.toStdString());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "bench");
        db.setDatabaseName(path);
        if (!db.open()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            std::exit(1);
        }
        QSqlQuery q(db);
        db.transaction();
        for (int c = 0; c < categories; ++c) {
            q.prepare(
                QStringLiteral("INSERT INTO tblCategory (Description, ZOrder) VALUES (?, ?)"));
            q.addBindValue(CategoryName(c));
            q.addBindValue(c);
            q.exec();
            q.exec(QStringLiteral("SELECT CategoryID FROM tblCategory WHERE rowid = "
                                  "last_insert_rowid()"));
            q.next();
            const QString key = q.value(0).toString();
            if (c == categories / 2) {
                *selectedLine = EntryLines::MakeCategoryLine(CategoryName(c), key);
            }
            q.prepare(QStringLiteral("INSERT INTO tblPhrase (CategoryID, Mnemonic, Data, ZOrder) "
                                     "VALUES (?, ?, ?, ?)"));
            for (int i = 0; i < items; ++i) {
                q.addBindValue(key);
                q.addBindValue(ItemName(c, i));
                q.addBindValue(ItemName(c, i) + QStringLiteral(" text9|"));
                q.addBindValue(i);
                if (!q.exec()) {
                    std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                    std::exit(1);
                }
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("bench");
    return path;
}

struct Sample {
    double ms;
    long rssKb;
};

Sample RunChild(const QString& self, const QStringList& args, const QString& home) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CACHE_HOME", home + "/cache");
    env.insert("XDG_RUNTIME_DIR", home + "/runtime");
    if (!env.contains("QT_QPA_PLATFORM")) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long started = NowMicros();
    child.start(self, args);
    if (!child.waitForFinished(60000)) {
        std::fprintf(stderr, "child did not finish\n");
        std::exit(1);
    }
    const QByteArray out = child.readAllStandardOutput();
    long long painted = 0;
    long rss = 0;
    if (std::sscanf(out.constData(), "first-paint %lld %ld", &painted, &rss) != 2) {
        std::fprintf(stderr, "child said: %s\n", out.constData());
        std::exit(1);
    }
    return {static_cast<double>(painted - started) / 1000.0, rss};
}

template <typename T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 9;
    int categories = 10;
    int items = 10000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--categories") == 0) {
            categories = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--items-per-category") == 0) {
            items = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--child-bare") == 0) {
            return RunBare(argc, argv, categories, std::atoi(argv[++i]));
        }
    }
    if (argc >= 2 && std::strcmp(argv[1], "--child-palette") == 0) {
        // The real program's start, from its command line on.
        char* programArgs[] = {argv[0], nullptr};
        return RunBlurtle(1, programArgs);
    }

    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    QDir(home.path()).mkpath("runtime");
    QFile::setPermissions(home.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString selectedLine;
    std::printf("making a library of %d categories x %d items...\n", categories, items);
    const QString library = MakeLibrary(home.path(), categories, items, &selectedLine);
    {
        QSettings settings(home.path() + "/config/Quillfen/palette_start_bench.conf",
                           QSettings::IniFormat);
        settings.setValue("General/DatabasePath", library);
        settings.setValue("General/Category", selectedLine);
    }

    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> paletteMs, bareMs;
    std::vector<long> paletteRss, bareRss;
    for (int r = 0; r < runs; ++r) {
        // Alternate, so drifts of the machine touch both alike.
        const Sample p = RunChild(self, {"--child-palette"}, home.path());
        const Sample b = RunChild(
            self,
            {"--categories", QString::number(categories), "--child-bare", QString::number(items)},
            home.path());
        paletteMs.push_back(p.ms);
        paletteRss.push_back(p.rssKb);
        bareMs.push_back(b.ms);
        bareRss.push_back(b.rssKb);
        std::printf("run %d: palette %.1f ms %ld kB, bare %.1f ms %ld kB\n", r + 1, p.ms, p.rssKb,
                    b.ms, b.rssKb);
    }
    const double pm = Median(paletteMs);
    const double bm = Median(bareMs);
    const long pr = Median(paletteRss);
    const long br = Median(bareRss);
    std::printf("median start to first paint: palette %.1f ms, bare window %.1f ms, ratio %.2f "
                "(goal <= 1.20)\n",
                pm, bm, pm / bm);
    std::printf("median peak resident memory: palette %.1f MB, bare window %.1f MB, "
                "difference %.1f MB (goal <= 10)\n",
                static_cast<double>(pr) / 1024.0, static_cast<double>(br) / 1024.0,
                static_cast<double>(pr - br) / 1024.0);
    return 0;
}
