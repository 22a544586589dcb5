#pragma once

#include <QObject>

namespace kelvo {

// SIGTERM and SIGHUP (the session ending, a plain kill) as a signal on the
// event loop, where the program can end the way its exit does: the handler
// only writes the signal's number into a pipe that the loop watches. One
// object per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPipe();

    int m_pipe[2] = {-1, -1};
};

} // namespace kelvo
