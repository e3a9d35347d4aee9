#include "gui/app/singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace zentrix {

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    m_name = QString("zentrix-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::otherRunning() const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    const bool up = socket.waitForConnected(300);
    socket.abort();
    return up;
}

bool SingleInstance::handOver(const QString& directory) const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("RESTORE\n" + directory.toUtf8() + "\n");
    if (!socket.waitForBytesWritten(1000))
        return false;
    // The running instance answers once it has taken the message.
    return socket.waitForReadyRead(2000) && socket.readAll().startsWith("OK");
}

bool SingleInstance::listen(std::function<void(const QString&)> onMessage) {
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
