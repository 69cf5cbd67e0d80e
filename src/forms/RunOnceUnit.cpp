#include "RunOnceUnit.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kRequest = "restore\n"_ba;
const QByteArray kReply = "ok\n"_ba;
} // namespace

TRunOnce::TRunOnce(const QString &key, QObject *parent)
    : QObject(parent)
    , m_key(key)
{
}

TRunOnce::~TRunOnce()
{
    if (m_server)
        m_server->close();
}

QString TRunOnce::DefaultKey()
{
    return u"{CAF49BBB-AF40-4FDE-8757-51D5AEB5BBBF}-"_s + QString::number(::getuid());
}

bool TRunOnce::askOwner()
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(kRequest);
    socket.waitForBytesWritten(1000);
    // Wait for the owner to confirm, so this copy quits only once the first one answered.
    while (socket.bytesAvailable() < kReply.size() && socket.waitForReadyRead(3000)) {
    }
    return true;
}

bool TRunOnce::RunOnceCheck()
{
    if (askOwner())
        return true;
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_key)) {
        // A socket left behind by a copy that crashed, or a copy starting this very moment.
        if (askOwner()) {
            delete server;
            return true;
        }
        QLocalServer::removeServer(m_key);
        if (!server->listen(m_key)) {
            delete server; // no guard: run as the only copy
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &TRunOnce::acceptConnection);
    return false;
}

void TRunOnce::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRequest) {
                if (OnActivate)
                    OnActivate();
                Q_EMIT activated();
            }
            socket->write(kReply);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

QWidget *RaiseApplicationWindow(QWidget *mainWindow)
{
    QWidget *target = QApplication::activeModalWidget();
    if (!target)
        target = mainWindow;
    if (!target)
        return nullptr;
    if (mainWindow && mainWindow->isMinimized())
        mainWindow->showNormal();
    if (target->isMinimized())
        target->showNormal();
    target->raise();
    target->activateWindow();
    return target;
}
