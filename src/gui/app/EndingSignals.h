#pragma once

#include <QObject>

class QSocketNotifier;

// The signals that end a desktop program from outside: SIGTERM (the session logs out),
// SIGHUP (its terminal was closed) and SIGINT (Ctrl-C). While an object lives, each of
// them is delivered by the event loop as received(), so that the program can end as its
// user would end it; the handler itself only sets EndingRequested (so that an output walk
// discards its files) and writes the signal's number into a pipe.
class TEndingSignals : public QObject {
    Q_OBJECT

public:
    explicit TEndingSignals(QObject* parent = nullptr);
    // Gives the signals their default handling back and clears EndingRequested.
    ~TEndingSignals() override;
    TEndingSignals(const TEndingSignals&) = delete;
    TEndingSignals& operator=(const TEndingSignals&) = delete;

signals:
    void received(int signal);

private:
    QSocketNotifier* m_notifier = nullptr;
};
