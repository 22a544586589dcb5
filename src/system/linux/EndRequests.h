#pragma once

#include <QObject>

class QSocketNotifier;

namespace kelvo {

// Requests from outside to end the program: SIGTERM and SIGHUP (a log-out,
// a kill, a closed terminal) and the session manager's end of the session
// (the quit it sends the application). They arrive as endRequested() on the
// event loop, never inside a signal handler, so that the program can end
// the way a confirmed exit does and store what that stores.
class EndRequests : public QObject {
    Q_OBJECT
public:
    // One object per process: it takes over both signals until it goes.
    explicit EndRequests(QObject* parent = nullptr);
    ~EndRequests() override;

signals:
    void endRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kelvo
