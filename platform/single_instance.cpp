#include "platform/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "platform/byte_reader.h"

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

} // namespace

HandOverFrame ParseHandOverFrame(std::span<const uint8_t> bytes, std::string& path)
{
    ByteReader r(bytes);
    if (r.remaining() < 4)
        return HandOverFrame::Incomplete;
    uint32_t n = r.u32le();
    if (n > kMaxHandOverPath)
        return HandOverFrame::Invalid;
    if (r.remaining() < n)
        return HandOverFrame::Incomplete;
    auto text = r.take(n);
    path.assign(text.begin(), text.end());
    return HandOverFrame::Complete;
}

std::vector<uint8_t> MakeHandOverFrame(const std::string& path)
{
    uint32_t n = uint32_t(path.size());
    std::vector<uint8_t> out(4 + path.size());
    for (int i = 0; i < 4; ++i)
        out[size_t(i)] = uint8_t(n >> (8 * i));
    std::copy(path.begin(), path.end(), out.begin() + 4);
    return out;
}

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

bool HandOverProject(const std::string& path, int timeoutMs)
{
    if (path.size() > kMaxHandOverPath)
        return false;
    QLocalSocket socket;
    socket.connectToServer(InstanceChannelName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    auto frame = MakeHandOverFrame(path);
    socket.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    char ack = 0;
    return socket.getChar(&ack) && ack == 1;
}

void BringApplicationForward(QWidget& mainWindow)
{
    QWidget* front = QApplication::activeModalWidget();
    if (!front)
        front = &mainWindow;
    front->raise();
    front->activateWindow();
}

std::unique_ptr<InstanceListener> HandOverOrListen(const std::string& path, int waitMs)
{
    auto listener = std::make_unique<InstanceListener>();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    // The holder of the channel may still be starting: ask again until it
    // listens, or until it is gone and the channel is free.
    while (!listener->Listen()) {
        if (HandOverProject(path, waitMs)) // its answer waits for its window
            return nullptr;
        if (std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return listener;
}

InstanceListener::InstanceListener(QObject* parent) : QObject(parent) {}

InstanceListener::~InstanceListener()
{
    server_.reset();
    if (lock_ >= 0)
        close(lock_); // frees the lock
}

bool InstanceListener::Listen()
{
    if (IsListening())
        return true;
    QString name = InstanceChannelName();
    if (lock_ < 0) {
        // The lock goes with the process, however it ends: a socket file
        // left by a crash is then replaced by the next holder.
        int fd = open(QFile::encodeName(name + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return false;
        }
        lock_ = fd;
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
    QByteArray pending = socket->peek(4 + kMaxHandOverPath);
    std::string path;
    auto bytes = std::span(reinterpret_cast<const uint8_t*>(pending.constData()), size_t(pending.size()));
    switch (ParseHandOverFrame(bytes, path)) {
    case HandOverFrame::Incomplete:
        return;
    case HandOverFrame::Invalid:
        socket->abort();
        return;
    case HandOverFrame::Complete:
        break;
    }
    socket->read(qint64(4 + path.size()));
    socket->putChar(char(1));
    socket->flush();
    socket->disconnectFromServer();
    emit ProjectReceived(QByteArray(path.data(), qsizetype(path.size())));
}

} // namespace pc
