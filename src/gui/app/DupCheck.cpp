// TDupCheck: the single-instance guard; a second run calls the first forward.
#include "gui/app/DupCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr const char* kMutexError = "Can not Create Mutex";

// The specified message, then the lock folder the guard could not use (UTF-8).
std::string mutexError(const QString& folder) {
    return std::string(kMutexError) + "\n二重起動を防ぐロックをフォルダ " +
           (folder.isEmpty() ? std::string("(なし)") : folder.toStdString()) + " に作れません";
}
// What a later run says, one line: the request, then the day archive it hands over,
// percent-encoded so that any path fits on the line; anything else is ignored.
constexpr QByteArrayView kComeForward = "come-forward";
constexpr qint64 kMaxLine = 64 * 1024;
constexpr int kCallTimeoutMs = 2000;

} // namespace

TDupCheck::TDupCheck(const QString& archive) {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    guard(name, folder, archive);
}

TDupCheck::TDupCheck(const QString& name, const QString& folder, const QString& archive) {
    guard(name, folder, archive);
}

TDupCheck::~TDupCheck() {
    if (m_server != nullptr)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

void TDupCheck::guard(const QString& name, const QString& folder, const QString& archive) {
    if (name.isEmpty() || folder.isEmpty() || !QDir().mkpath(folder))
        throw EDupCheckError(mutexError(folder));
    const QString base = QDir(folder).filePath(name);
    m_lock = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
    // a lock is stale only when its process has gone, however long the first run lasts
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen(base + QStringLiteral(".socket"));
        return;
    }
    if (m_lock->error() != QLockFile::LockFailedError)
        throw EDupCheckError(mutexError(folder));
    m_lock.reset();
    callFirst(base + QStringLiteral(".socket"), archive);
    m_terminate = true;
}

void TDupCheck::listen(const QString& socketPath) {
    // a socket file left by a crashed run is ours now: the lock says no one else listens
    QLocalServer::removeServer(socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath)) {
        // the guard still holds; later runs only cannot call this one forward
        delete m_server;
        m_server = nullptr;
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* caller = m_server->nextPendingConnection()) {
            connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            connect(caller, &QLocalSocket::readyRead, this, [this, caller] { hear(caller); });
            hear(caller); // what came before the connection was taken
        }
    });
}

void TDupCheck::hear(QLocalSocket* caller) {
    if (!caller->canReadLine() && caller->bytesAvailable() < kMaxLine)
        return;
    const QByteArray line = caller->readLine(kMaxLine).trimmed();
    caller->disconnectFromServer();
    const QList<QByteArray> words = line.split(' ');
    if (words.size() > 2 || words.front() != kComeForward)
        return;
    emit comeForward(words.size() == 2
                         ? QString::fromUtf8(QByteArray::fromPercentEncoding(words[1]))
                         : QString());
}

void TDupCheck::callFirst(const QString& socketPath, const QString& archive) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kCallTimeoutMs))
        return; // the first run cannot be reached; this one ends all the same
    QByteArray line = kComeForward.toByteArray();
    if (!archive.isEmpty())
        line += ' ' + archive.toUtf8().toPercentEncoding();
    socket.write(line + '\n');
    socket.waitForBytesWritten(kCallTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kCallTimeoutMs);
}
