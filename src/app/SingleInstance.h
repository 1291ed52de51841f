// TSingleInstance: only one editor runs per user. The first instance listens on a local socket
// named after the application title and the user; a later start connects, asks it to restore and
// raise its window, and ends.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QLocalServer;

namespace xq {

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    /// The socket's name: the application title and the user, in the user's runtime directory.
    [[nodiscard]] static QString DefaultServerName();

    explicit TSingleInstance(QString serverName = DefaultServerName(), QObject* parent = nullptr);
    ~TSingleInstance() override;

    /// True when another instance was found and has been asked to come forward: this process ends.
    /// Otherwise this instance starts listening, and OnRaise is called for every later start.
    [[nodiscard]] bool HandOverToRunningInstance();

    /// Asked by a later start: restore the window when it is minimised, else bring it to the front.
    std::function<void()> OnRaise;

    [[nodiscard]] const QString& ServerName() const noexcept { return Name_; }
    [[nodiscard]] bool Listening() const;

private:
    void AcceptConnection();

    QString Name_;
    QLocalServer* Server_ = nullptr;
};

} // namespace xq
