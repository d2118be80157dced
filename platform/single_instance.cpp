#include "platform/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <sys/socket.h>
#include <unistd.h>

namespace pc {

namespace {

constexpr int kReadTimeoutMs = 3000;

bool PeerIsThisUser(QLocalSocket* socket)
{
    ucred cred{};
    socklen_t len = sizeof cred;
    if (getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == getuid();
}

QByteArray Frame(const QByteArray& utf8)
{
    QByteArray out;
    uint32_t n = uint32_t(utf8.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((n >> (8 * i)) & 0xFF));
    return out + utf8;
}

} // namespace

bool IsProjectPath(const std::string& arg)
{
    size_t dot = arg.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    size_t sep = arg.find_last_of("/:");
    if (sep != std::string::npos && sep > dot)
        return false;
    std::string ext = arg.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".qv7kb";
}

QString InstanceChannelName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QString("/prismcase-%1.sock").arg(getuid());
}

bool HandOverProject(const QString& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(InstanceChannelName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray utf8 = path.toUtf8();
    if (uint32_t(utf8.size()) > kMaxHandOverPath)
        return false;
    socket.write(Frame(utf8));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    char ack = 0;
    return socket.getChar(&ack) && ack == 1;
}

InstanceListener::InstanceListener(QObject* parent) : QObject(parent) {}

InstanceListener::~InstanceListener() = default;

bool InstanceListener::Listen()
{
    QString name = InstanceChannelName();
    {
        // A live listener answers a connect; a stale socket file does not.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500))
            return false;
    }
    QLocalServer::removeServer(name);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        server_.reset();
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &InstanceListener::Accept);
    return true;
}

bool InstanceListener::IsListening() const
{
    return server_ && server_->isListening();
}

void InstanceListener::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(socket)) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadFrom(socket); });
        // A peer that never finishes its message is dropped.
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
        ReadFrom(socket);
    }
}

void InstanceListener::ReadFrom(QLocalSocket* socket)
{
    if (socket->bytesAvailable() < 4)
        return;
    QByteArray head = socket->peek(4);
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= uint32_t(uint8_t(head[i])) << (8 * i);
    if (n > kMaxHandOverPath) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + n))
        return;
    socket->read(4);
    QString path = QString::fromUtf8(socket->read(n));
    socket->putChar(char(1));
    socket->flush();
    socket->disconnectFromServer();
    emit ProjectReceived(path);
}

} // namespace pc
