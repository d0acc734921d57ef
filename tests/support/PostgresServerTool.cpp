// Starts and stops the PostgreSQL server that the test programs of one
// ctest run share (see CPostgresServer):
//   test_pg_server start|stop ADDRESS-FILE
#include "tests/support/PostgresServer.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3 || (std::strcmp(argv[1], "start") != 0 && std::strcmp(argv[1], "stop") != 0)) {
        std::fprintf(stderr, "usage: test_pg_server start|stop ADDRESS-FILE\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[2]);
    return std::strcmp(argv[1], "start") == 0 ? CPostgresServer::ServeDetached(file)
                                              : CPostgresServer::StopDetached(file);
}
