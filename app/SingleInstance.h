#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

class QLocalServer;

// One program per user and display: a start with files hands them to the program already
// running there, which opens them and comes to the front.
namespace instance {

// What a start hands over: absolute paths ("-" for the page read from its standard input).
struct Message {
    QStringList files;
    QByteArray standardInput;
};

// The address of the running program: a socket in the user's private runtime folder, named
// after the display, so that other users and other displays never meet it. Empty when the
// user has no such folder.
QString serverPath();

// Gives the message to the program already running and waits for its receipt, at most
// `timeoutMs` in all. False when none runs, or when it does not answer in time: then the
// caller starts a program of its own.
bool handOff(const Message& message, int timeoutMs = 2000);

// The running program's end: listens at serverPath() and reports each message received.
class Server : public QObject {
    Q_OBJECT
public:
    explicit Server(QObject* parent = nullptr);
    ~Server() override;

    // Starts listening. A socket left by a program that ended without removing it (a crash,
    // a kill) is replaced; one that a live program answers is left to it, and false returned.
    bool listen();

signals:
    void received(const instance::Message& message);

private:
    void accept();
    QLocalServer* m_server = nullptr;
};

// Serialised form, exposed for tests: a length-prefixed block.
QByteArray encode(const Message& message);
// Decodes a complete block; false while more bytes are needed or when they are not a message
// (`bad` says which).
bool decode(const QByteArray& bytes, Message* message, bool* bad);

} // namespace instance
