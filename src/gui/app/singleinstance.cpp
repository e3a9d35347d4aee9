#include "gui/app/singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrix {
namespace {

// A directory only this user can enter: no other user can put a socket there
// for a later instance to hand its directory to.
bool privateDirectory(const std::string& dir) {
    struct stat st {};
    return !dir.empty() && dir[0] == '/' && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR, which the session makes for this user alone; without one
// a directory of our own in /tmp. Empty when neither is private.
std::string socketDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && privateDirectory(runtime))
        return runtime;
    const std::string own = "/tmp/zentrix-" + std::to_string(::getuid());
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return privateDirectory(own) ? own : std::string();
}

// The other end of a connected socket runs as this user.
bool peerIsThisUser(const QLocalSocket& socket) {
    const qintptr fd = socket.socketDescriptor();
    if (fd < 0)
        return false;
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == ::getuid();
}

// Connects to the running instance, which must be this user's.
bool connectToOwn(QLocalSocket& socket, const QString& name, int timeout) {
    if (name.isEmpty())
        return false;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeout))
        return false;
    if (peerIsThisUser(socket))
        return true;
    socket.abort();
    return false;
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const std::string dir = socketDirectory();
    if (dir.empty())
        return; // nowhere safe to meet: every start is an instance of its own
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    m_name = QString::fromLocal8Bit(dir.c_str()) + "/zentrix-" + QString::fromLatin1(hash);
}

SingleInstance::~SingleInstance() {
    // The socket file goes with the instance.
    if (m_server)
        m_server->close();
}

bool SingleInstance::otherRunning() const {
    QLocalSocket socket;
    const bool up = connectToOwn(socket, m_name, 300);
    socket.abort();
    return up;
}

bool SingleInstance::handOver(const QString& directory) const {
    QLocalSocket socket;
    if (!connectToOwn(socket, m_name, 1000))
        return false;
    socket.write("RESTORE\n" + directory.toUtf8() + "\n");
    if (!socket.waitForBytesWritten(1000))
        return false;
    // The running instance answers once it has taken the message.
    return socket.waitForReadyRead(2000) && socket.readAll().startsWith("OK");
}

bool SingleInstance::listen(std::function<void(const QString&)> onMessage) {
    if (m_name.isEmpty())
        return false;
    m_onMessage = std::move(onMessage);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A server left behind by a crashed instance: nobody answers on it.
        if (otherRunning())
            return false;
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!peerIsThisUser(*socket)) {
                socket->abort(); // another user has nothing to tell this one
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const QByteArray command = socket->readLine().trimmed();
                if (command != "RESTORE")
                    return;
                if (!socket->canReadLine() && !socket->waitForReadyRead(500))
                    return;
                const QString directory = QString::fromUtf8(socket->readLine()).trimmed();
                socket->write("OK\n");
                socket->flush();
                if (m_onMessage)
                    m_onMessage(directory);
            });
        }
    });
    return true;
}

} // namespace zentrix
