#include "store/LibraryFile.h"

#include "store/DaoException.h"
#include "store/FileConnection.h"
#include "store/FindColumns.h"
#include "store/LibrarySchema.h"
#include "store/LibrarySeed.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text);
}

std::string Named(const char* sentence, const std::string& path) {
    return QString::fromUtf8(sentence).arg(Q(path)).toStdString();
}

// The SQLite file header (the first 100 bytes) holds the application id
// at offset 68 and the user version at offset 60, both big-endian.
constexpr qsizetype kHeaderSize = 100;
constexpr qsizetype kUserVersionOffset = 60;
constexpr qsizetype kApplicationIdOffset = 68;

std::uint32_t HeaderWord(const QByteArray& header, qsizetype offset) {
    return qFromBigEndian<std::uint32_t>(header.constData() + offset);
}

// A file without our application id is still taken for a library when it
// has our two tables (one made by hand with an SQLite tool).
std::string CheckForeignSchema(const std::string& path) {
    try {
        // Read-write where this user may write, so that whatever SQLite
        // makes beside the file to read it goes again at the close.
        CFileConnection probe(path, IsLibraryWritable(path) ? CLibraryConnection::Access::ReadWrite
                                                            : CLibraryConnection::Access::ReadOnly);
        const int tables =
            probe
                .Value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                                      "AND name IN ('tblCategory', 'tblPhrase')"))
                .toInt();
        if (tables != 2) {
            return Named("The file \"%1\" is an SQLite database of another program, not a "
                         "Blurtle library.",
                         path);
        }
        const int version = probe.Value(QStringLiteral("PRAGMA user_version")).toInt();
        if (version > kLibraryFormatVersion) {
            return DescribeNewerLibrary(path, version);
        }
    } catch (const CDaoException& error) {
        return Named("The file \"%1\" can't be read as a Blurtle library: ", path) + error.what();
    }
    return {};
}

void RemoveWithCompanions(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
}

// Renames the finished library at `built` to `file`, unless a file
// appeared there meanwhile: that one is never overwritten.
void MoveIntoPlace(const QString& built, const QString& file, const std::string& path) {
    const QByteArray from = QFile::encodeName(built);
    const QByteArray to = QFile::encodeName(file);
    int result =
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without an exclusive rename: a hard link fails
        // just as well when the name is taken.
        result = ::link(from.constData(), to.constData());
        if (result == 0) {
            ::unlink(from.constData());
        }
    }
    if (result != 0) {
        const int error = errno;
        throw CDaoException(error == EEXIST
                                ? Named("\"%1\" already exists; a new library needs a new file "
                                        "name.",
                                        path)
                                : Named("The library \"%1\" can't be created: ", path) +
                                      std::strerror(error));
    }
}

// Removes the files of earlier builds for `file` that were killed before
// they could remove their own: nobody has them open (SQLite locks a file
// it writes) and nothing has written them for a minute.
void RemoveAbandonedBuilds(const QFileInfo& file) {
    // A library for `file` is built in a hidden file beside it, named with
    // eight random hexadecimal digits.
    const QRegularExpression pattern(
        QStringLiteral("^\\.%1\\.[0-9a-f]{8}$").arg(QRegularExpression::escape(file.fileName())));
    const QDateTime aMinuteAgo = QDateTime::currentDateTime().addSecs(-60);
    const QFileInfoList candidates = file.absoluteDir().entryInfoList(
        {QStringLiteral(".") + file.fileName() + QStringLiteral(".*")},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : candidates) {
        if (pattern.match(candidate.fileName()).hasMatch() &&
            candidate.lastModified() < aMinuteAgo &&
            !LockedByAnotherProcess(candidate.absoluteFilePath())) {
            RemoveWithCompanions(candidate.absoluteFilePath());
        }
    }
}

// A new, empty file beside `file` for the library to be built in, made
// with the permissions a file made at `file` itself would get.
QString ClaimBuildingName(const QString& file, const std::string& path) {
    const QFileInfo info(file);
    for (int attempt = 0;; ++attempt) {
        // Put together, not formatted: the file name may hold "%1".
        const QString name = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QLatin1Char('.') +
                             QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                      QLatin1Char('0'));
        const int descriptor = ::open(QFile::encodeName(name).constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            ::close(descriptor);
            return name;
        }
        const int error = errno;
        if (error != EEXIST || attempt == 100) {
            throw CDaoException(Named("The library \"%1\" can't be created: ", path) +
                                std::strerror(error));
        }
    }
}

// Builds the library in the empty file at `path`; messages name it
// `display`, the place it is made for.
void BuildLibrary(const std::string& path, const std::string& display,
                  const std::function<void(CLibraryConnection&)>& fill) {
    CFileConnection connection(path, CLibraryConnection::Access::ReadWrite, display);
    // All in one transaction, still in rollback-journal mode, so the file
    // header holds the application id and version from the start.
    connection.Exec(QStringLiteral("BEGIN IMMEDIATE"));
    connection.Exec(QStringLiteral("PRAGMA application_id = %1").arg(kLibraryApplicationId));
    connection.Exec(QStringLiteral("PRAGMA user_version = %1").arg(kLibraryFormatVersion));
    for (const QString& statement : LibrarySchemaStatements()) {
        connection.Exec(statement);
    }
    fill(connection);
    connection.Exec(QStringLiteral("COMMIT"));
    const QString mode = connection.Value(QStringLiteral("PRAGMA journal_mode = WAL")).toString();
    if (mode != QLatin1String("wal")) {
        throw CDaoException(
            Named("The library \"%1\" could not be switched to write-ahead logging.", display));
    }
}

} // namespace

std::string CheckLibraryFile(const std::string& path) {
    if (path.empty()) {
        return "No library file has been chosen.";
    }
    const QFileInfo info(Q(path));
    if (!info.exists()) {
        return Named("The library file \"%1\" does not exist.", path);
    }
    if (!info.isFile()) {
        return Named("\"%1\" is not a file, so it can't be a Blurtle library.", path);
    }
    if (IsOpenInThisProcess(path)) {
        // A connection of ours has it open, so it was found to be a library
        // then; reading its header now would cost that connection its locks.
        return {};
    }
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return Named("The library file \"%1\" can't be read: ", path) +
               file.errorString().toStdString();
    }
    const QByteArray header = file.read(kHeaderSize);
    if (header.isEmpty()) {
        return Named("The file \"%1\" is empty; it is not a Blurtle library.", path);
    }
    if (header.size() < kHeaderSize ||
        !header.startsWith(QByteArray::fromRawData("SQLite format 3\0", 16))) {
        return Named("The file \"%1\" is not a Blurtle library (it is not an SQLite database).",
                     path);
    }
    const std::uint32_t applicationId = HeaderWord(header, kApplicationIdOffset);
    if (applicationId == 0) {
        return CheckForeignSchema(path);
    }
    if (applicationId != kLibraryApplicationId) {
        return Named("The file \"%1\" is an SQLite database of another program, not a Blurtle "
                     "library.",
                     path);
    }
    const auto version = static_cast<std::int32_t>(HeaderWord(header, kUserVersionOffset));
    if (version > kLibraryFormatVersion) {
        return DescribeNewerLibrary(path, version);
    }
    return {};
}

void CreateLibraryFile(const std::string& path, const std::vector<LibrarySeedCategory>& seed) {
    CreateLibraryFile(path,
                      [&seed](CLibraryConnection& connection) { InsertSeed(connection, seed); });
}

void CreateLibraryFile(const std::string& path,
                       const std::function<void(CLibraryConnection&)>& fill) {
    const QString file = Q(path);
    if (path.empty()) {
        throw CDaoException("No file name was given for the new library.");
    }
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink()) {
        throw CDaoException(
            Named("\"%1\" already exists; a new library needs a new file name.", path));
    }
    // Built beside the target under a name of its own and put in place only
    // when whole: a build that fails, or a process killed halfway, never
    // leaves a half-made library at the path for later runs to refuse.
    RemoveAbandonedBuilds(info);
    const QString built = ClaimBuildingName(file, path);
    try {
        BuildLibrary(built.toStdString(), path, fill);
        MoveIntoPlace(built, file, path);
    } catch (...) {
        RemoveWithCompanions(built);
        throw;
    }
}

std::unique_ptr<CLibraryConnection> OpenLibraryFile(const std::string& path) {
    const std::string problem = CheckLibraryFile(path);
    if (!problem.empty()) {
        throw CDaoException(problem, CDaoException::Reason::NotALibrary);
    }
    const auto access = IsLibraryWritable(path) ? CLibraryConnection::Access::ReadWrite
                                                : CLibraryConnection::Access::ReadOnly;
    auto connection = std::make_unique<CFileConnection>(path, access);
    // The file header can lag behind a newer version's migration that still
    // sits in the write-ahead log; the engine's own answer decides.
    const int version = connection->Value(QStringLiteral("PRAGMA user_version")).toInt();
    if (version > kLibraryFormatVersion) {
        throw CDaoException(DescribeNewerLibrary(path, version),
                            CDaoException::Reason::NotALibrary);
    }
    if (version < 2) {
        // Older libraries list a category's items without their position;
        // this connection sees the view as the current format has it,
        // without changing the file.
        connection->Exec(QStringLiteral(
            "CREATE TEMP VIEW IF NOT EXISTS qryPhrasesInCategory AS\n"
            "SELECT Mnemonic, Data, PhraseID, CategoryID, ZOrder FROM main.tblPhrase\n"
            "ORDER BY ZOrder, rowid"));
    }
    // A library this version writes keeps the folded columns a find
    // searches; older ones get them now, once (format 1 libraries stay as
    // they are and fold as they are read).
    if (access == CLibraryConnection::Access::ReadWrite && version >= 2) {
        AddFindColumns(*connection);
    }
    // In WAL mode NORMAL keeps every commit atomic and the file sound after
    // a crash, without a disk flush per commit.
    if (access == CLibraryConnection::Access::ReadWrite &&
        connection->Value(QStringLiteral("PRAGMA journal_mode")).toString() ==
            QLatin1String("wal")) {
        connection->Exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    }
    return connection;
}
