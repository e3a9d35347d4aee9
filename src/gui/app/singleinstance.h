#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace zentrix {

/// One running Zentrix per user and settings: the first instance listens on a
/// local socket; a later one, when only one instance is allowed, hands its
/// command line over and ends. The running one restores and raises itself.
/// The socket lives in $XDG_RUNTIME_DIR (or a private directory in /tmp) and
/// goes with the instance; both ends talk only to a peer of the same user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// `key` tells instances apart that must not meet (different settings homes).
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// True when another instance of this user answers.
    bool otherRunning() const;
    /// Sends the directory (may be empty) to the running instance; true when it
    /// took the message.
    bool handOver(const QString& directory) const;
    /// Starts listening; each message from a later instance calls `onMessage`.
    bool listen(std::function<void(const QString& directory)> onMessage);

    /// The socket's path; empty when there is no private place for it.
    QString serverName() const { return m_name; }

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    std::function<void(const QString&)> m_onMessage;
};

} // namespace zentrix
