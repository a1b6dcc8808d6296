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

// What came of handing a start's files to the program already running.
enum class Delivery {
    // None runs, none accepted the connection in time, or it ended it without taking the
    // files (it answers before it opens them): the caller starts a program of its own.
    NotTaken,
    // It took them and opens them.
    Taken,
    // It has the whole message but has not answered in time (busy, or hung): it opens the
    // files once it reads them, so the caller must not open them too.
    Unconfirmed,
};

// Gives the message to the program already running. A program that greets the connection
// within `acceptMs` is there; from then on its answer is waited for, at most `answerMs`.
Delivery handOff(const Message& message, int acceptMs = 2000, int answerMs = 30000);

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

// What the running program sends on accepting a connection, and once it has a message.
QByteArray greeting();
QByteArray receipt();

// Serialised form, exposed for tests: a length-prefixed block.
QByteArray encode(const Message& message);
// Decodes a complete block; false while more bytes are needed or when they are not a message
// (`bad` says which).
bool decode(const QByteArray& bytes, Message* message, bool* bad);

} // namespace instance
