#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT turned into a request the window's thread
// hears: the end of a desktop session that has no session manager, a
// service manager stopping the program, or Ctrl+C in its terminal. The
// program then quits in order, storing what the user arranged, instead of
// dying where it stands. The handler itself only writes a byte into a
// pipe, the one thing a signal handler may safely do. One exists at a
// time; its end puts the signals' previous handlers back.
class CTerminationRequest : public QObject {
    Q_OBJECT

public:
    explicit CTerminationRequest(QObject* parent = nullptr);
    ~CTerminationRequest() override;
    CTerminationRequest(const CTerminationRequest&) = delete;
    CTerminationRequest& operator=(const CTerminationRequest&) = delete;

signals:
    void Requested();

private:
    void Drain();

    QSocketNotifier* m_notifier = nullptr;
};
