// One instance per user: a local socket, a lock so that two starts at the same moment cannot both
// become the first, and a one-line request.
#include "app/SingleInstance.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include "session/StartUp.h"

namespace xq {

namespace {

constexpr QByteArrayView RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 1000;

QString UserName()
{
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(::getuid());
}

/// Connects to the running instance and asks it to come forward.
bool AskRunningInstance(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(RaiseRequest.data(), RaiseRequest.size());
    socket.waitForBytesWritten(ConnectTimeoutMs);
    // The answer tells that the request arrived; a busy instance still counts as running.
    socket.waitForReadyRead(ConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

} // namespace

QString TSingleInstance::DefaultServerName()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QString::fromUtf8(ApplicationTitle.data(), qsizetype(ApplicationTitle.size())) +
                              QLatin1Char('-') + UserName());
}

TSingleInstance::TSingleInstance(QString serverName, QObject* parent) : QObject(parent), Name_(std::move(serverName))
{
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Listening() const
{
    return Server_ && Server_->isListening();
}

bool TSingleInstance::HandOverToRunningInstance()
{
    // Held while looking and starting to listen, so that of two simultaneous starts one listens
    // and the other finds it.
    QLockFile lock(Name_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    lock.tryLock(5 * ConnectTimeoutMs);

    if (AskRunningInstance(Name_))
        return true;

    QLocalServer::removeServer(Name_); // a socket left behind by an instance that crashed
    Server_ = new QLocalServer(this);
    Server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(Server_, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnection);
    // Without the socket the program still runs; it just cannot be found by a later start.
    Server_->listen(Name_);
    return false;
}

void TSingleInstance::AcceptConnection()
{
    while (QLocalSocket* socket = Server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // The request may come in pieces; it is complete with its line end.
            QByteArray request = socket->property("request").toByteArray() + socket->readAll();
            socket->setProperty("request", request);
            if (!request.contains('\n'))
                return;
            socket->setProperty("request", QByteArray());
            if (request != QByteArray(RaiseRequest.data(), RaiseRequest.size()))
                return;
            socket->write("ok\n");
            socket->flush();
            if (OnRaise)
                OnRaise();
        });
    }
}

} // namespace xq
