#pragma once
// One running instance per user takes project paths from later ones. The
// first instance listens on a local socket in the user's runtime folder; a
// second one started with a project path sends it there and exits. Whoever
// holds the lock file beside the socket is the one listener, so two
// instances started at once cannot both take the channel.
//
// Wire format, sender to listener: u32 little-endian length, then the path's
// bytes as they are (file names need not be UTF-8). The listener answers one
// byte, 1, once the path is queued.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace pc {

// True when the last extension of arg (after the last '/' or ':') is
// ".qv7kb" in any case.
bool IsProjectPath(const std::string& arg);

// The socket path for this user.
QString InstanceChannelName();

// Sends path to a running instance. True when it took the path; false when
// none listens or it does not answer within timeoutMs.
bool HandOverProject(const std::string& path, int timeoutMs = 3000);

class InstanceListener;

// For an instance started with a project: hands path over and returns null,
// or, when no other instance holds the channel, returns this one's listener,
// already listening. An instance that holds the channel but does not listen
// yet is waited for up to waitMs; after that the project opens here, and
// the returned listener is not listening.
std::unique_ptr<InstanceListener> HandOverOrListen(const std::string& path, int waitMs = 10000);

// Brings the program forward for a hand-over: its open modal dialog when
// there is one, else the main window. Raising the main window over the
// dialog would hide the one window that takes input.
void BringApplicationForward(QWidget& mainWindow);

// Longest path accepted from a peer.
constexpr uint32_t kMaxHandOverPath = 64 * 1024;

// One message as it arrives: Incomplete until all of it is there, Invalid
// when its length is beyond kMaxHandOverPath.
enum class HandOverFrame { Incomplete, Complete, Invalid };
HandOverFrame ParseHandOverFrame(std::span<const uint8_t> bytes, std::string& path);
std::vector<uint8_t> MakeHandOverFrame(const std::string& path);

class InstanceListener : public QObject {
    Q_OBJECT
public:
    explicit InstanceListener(QObject* parent = nullptr);
    // Stops listening: a relaunched instance must not hand its path back to
    // one that is closing.
    ~InstanceListener() override;
    // False when another live instance holds the channel.
    bool Listen();
    bool IsListening() const;

signals:
    void ProjectReceived(const QByteArray& path);

private:
    void Accept();
    void ReadFrom(QLocalSocket* socket);
    std::unique_ptr<QLocalServer> server_;
    int lock_ = -1; // the lock file, held while listening
};

} // namespace pc
