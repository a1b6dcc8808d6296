#include "app/SingleInstance.h"

#include "platform/FileIo.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace instance {

namespace {

constexpr quint32 magic = 0x48564c31; // "HVL1"
// A message holds paths and at most one page from the standard input.
constexpr qint64 maxMessageBytes = platform::files::maxReadBytes + 16 * 1024 * 1024;
// How long a connected client may take to send its message.
constexpr int readTimeoutMs = 5000;

// The display this program shows on, as a name part: only letters, digits, '-' and '_'.
QString displayKey()
{
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qgetenv("DISPLAY");
    if (display.isEmpty())
        display = QGuiApplication::platformName().toUtf8();
    QString key = QString::fromLocal8Bit(display);
    for (QChar& c : key)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    return key;
}

} // namespace

QString serverPath()
{
    // The runtime folder is the user's own: Qt checks that it is private (0700, owned by the
    // user) and otherwise makes one that is.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/halvane-") + displayKey();
}

QByteArray encode(const Message& message)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << message.files << message.standardInput;
    QByteArray block;
    QDataStream head(&block, QIODevice::WriteOnly);
    head << magic << quint64(body.size());
    return block + body;
}

bool decode(const QByteArray& bytes, Message* message, bool* bad)
{
    *bad = false;
    constexpr int headSize = 4 + 8;
    if (bytes.size() < headSize)
        return false;
    QDataStream head(bytes);
    quint32 m = 0;
    quint64 size = 0;
    head >> m >> size;
    if (m != magic || size > quint64(maxMessageBytes)) {
        *bad = true;
        return false;
    }
    if (quint64(bytes.size() - headSize) < size)
        return false;
    QDataStream in(bytes.mid(headSize, qsizetype(size)));
    in.setVersion(QDataStream::Qt_6_4);
    Message m2;
    in >> m2.files >> m2.standardInput;
    if (in.status() != QDataStream::Ok) {
        *bad = true;
        return false;
    }
    *message = std::move(m2);
    return true;
}

QByteArray greeting() { return QByteArrayLiteral("HVL1\n"); }
QByteArray receipt() { return QByteArrayLiteral("OK\n"); }

namespace {

// Reads until `wanted` bytes have come (or the peer is gone, or the deadline passes).
QByteArray readAtLeast(QLocalSocket& socket, qsizetype wanted, const QDeadlineTimer& deadline)
{
    QByteArray bytes = socket.read(wanted);
    while (bytes.size() < wanted && socket.waitForReadyRead(int(deadline.remainingTime())))
        bytes += socket.read(wanted - bytes.size());
    return bytes;
}

} // namespace

Delivery handOff(const Message& message, int acceptMs, int answerMs)
{
    const QString path = serverPath();
    if (path.isEmpty())
        return Delivery::NotTaken;
    // Connecting succeeds as soon as the socket is listened on, even while the program's
    // event loop is held up; only its greeting says that it took the connection. Nothing is
    // sent before it, so a program that greets too late finds a closed connection and opens
    // nothing.
    const QDeadlineTimer accepted(acceptMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(accepted.remainingTime())) ||
        readAtLeast(socket, greeting().size(), accepted) != greeting())
        return Delivery::NotTaken;

    // The program is there, though it may be busy (loading a large page) for a while.
    const QDeadlineTimer answered(answerMs);
    socket.write(encode(message));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(answered.remainingTime())))
            break;
    // A message cut short is dropped by the program, which never opens a part of one.
    if (socket.bytesToWrite() > 0)
        return Delivery::NotTaken;
    const QByteArray answer = readAtLeast(socket, receipt().size(), answered);
    if (answer == receipt())
        return Delivery::Taken;
    return socket.state() == QLocalSocket::ConnectedState ? Delivery::Unconfirmed : Delivery::NotTaken;
}

Server::Server(QObject* parent) : QObject(parent) {}

Server::~Server() = default;

bool Server::listen()
{
    const QString path = serverPath();
    if (path.isEmpty())
        return false; // no private folder for it: every start is a program of its own
    if (QFileInfo(path).exists()) {
        // Someone's socket is there: a live program answers on it, a dead one's does not.
        // (Listening would silently take the address over, so ask first.)
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(200))
            return false;
        QLocalServer::removeServer(path);
    }
    // The runtime folder is private to the user (0700), which keeps others off the socket;
    // asking the server for user-only access on top costs a temporary folder and ms at start.
    m_server = new QLocalServer(this);
    if (!m_server->listen(path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &Server::accept);
    return true;
}

void Server::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        // The start sends its message only once it is greeted.
        socket->write(greeting());
        socket->flush();
        auto buffer = std::make_shared<QByteArray>();
        auto taken = std::make_shared<bool>(false);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer, taken] {
            *buffer += socket->readAll();
            Message message;
            bool bad = false;
            if (decode(*buffer, &message, &bad)) {
                buffer->clear();
                *taken = true;
                // The answer goes before the files are opened: a start left without one
                // knows that nothing was opened.
                socket->write(receipt());
                socket->flush();
                socket->disconnectFromServer();
                // Opened from the event loop, not from inside this socket's handler.
                QMetaObject::invokeMethod(
                    this, [this, message] { emit received(message); }, Qt::QueuedConnection);
            } else if (bad) {
                socket->abort();
            }
        });
        // A client that connects and never finishes its message is dropped; a message that
        // came while this program was busy is read first.
        QTimer::singleShot(readTimeoutMs, socket, [socket, taken] {
            socket->waitForReadyRead(0);
            if (!*taken)
                socket->abort();
        });
    }
}

} // namespace instance
