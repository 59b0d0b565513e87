// TDupCheck: the single-instance guard; a second run calls the first forward.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <stdexcept>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// The start could not be guarded against a second run.
class EDupCheckError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The guard against a second running instance. The first run holds a lock file named
// after the program in the user's runtime folder and listens on a local socket of the
// same name; a later run finds the lock taken, asks the first through the socket to come
// forward (handing it the day archive it was started with, if any), and is then to end
// without doing any work. A lock left behind by a run that crashed is taken over. The
// guard is released when the object ends.
class TDupCheck : public QObject {
    Q_OBJECT

public:
    // Named after the running program's file without folder and extension, in the
    // user's runtime folder. Throws EDupCheckError ("Can not Create Mutex") when no lock
    // can be made there. archive is handed to the first run when this one is a later one.
    explicit TDupCheck(const QString& archive = {});
    // The same with a name and folder of one's own.
    TDupCheck(const QString& name, const QString& folder, const QString& archive = {});
    ~TDupCheck() override;

    // Another run holds the guard: this run has asked it to come forward and must end.
    bool TerminateRequested() const { return m_terminate; }

signals:
    // A later run asked this one to come forward, with the day archive it was started
    // with; empty: none.
    void comeForward(const QString& archive);

private:
    void guard(const QString& name, const QString& folder, const QString& archive);
    void listen(const QString& socketPath);
    void hear(QLocalSocket* caller);
    static void callFirst(const QString& socketPath, const QString& archive);

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_terminate = false;
};
