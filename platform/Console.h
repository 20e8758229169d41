#pragma once

#include <QObject>

// Requests from the operating system to stop the program (Ctrl-C, a polite
// termination request), delivered as a signal on the event loop. While an
// object of this class exists such a request no longer ends the process at
// once: the owner decides what stopping means. One object at a time.
class StopRequests final : public QObject
{
    Q_OBJECT

public:
    explicit StopRequests(QObject *parent = nullptr);
    ~StopRequests() override;

    // False when the requests could not be caught (they then end the
    // process as before).
    bool isWatching() const { return m_watching; }

signals:
    void stopRequested();

private:
    void onReadable();

    bool m_watching = false;
    class QSocketNotifier *m_notifier = nullptr;
};

// True when standard error is a terminal, so that progress may be redrawn
// in place.
bool StandardErrorIsTerminal();

// True when the program runs with the administrator's rights (root here).
// The browser engine's sandbox refuses to start then.
bool RunsAsAdministrator();
