// The markup check's helper program: reads a page (UTF-8) on its standard input, checks it
// and writes what it found on its standard output, in the form MarkupApart reads.
//
// HTML Tidy parses recursively, one level per open element, so a page of a few hundred
// thousand nested elements runs it out of an ordinary stack. Here the check runs on a thread
// with a large stack (address space only: its pages are committed as they are used), and
// should even that not be enough, it is this process that ends, not the editor.
//
//   halvane-markup [STACK_BYTES [ACCESSIBILITY_LEVEL]]
#include "review/MarkupApart.h"
#include "review/MarkupCheck.h"

#include <QFile>
#include <QThread>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    const qint64 given = argc > 1 ? QByteArray(argv[1]).toLongLong() : 0;
    const qint64 stackBytes = given > 0 ? given : review::apart::defaultStackBytes;
    const int accessibility = argc > 2 ? QByteArray(argv[2]).toInt() : 0;

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 2;
    QString text = QString::fromUtf8(in.readAll());

    review::CheckResult result;
    bool ran = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = review::checkMarkup(text, accessibility);
        ran = true;
    }));
    worker->setStackSize(static_cast<uint>(std::min<qint64>(stackBytes, 0xffffffffLL)));
    worker->start();
    worker->wait();
    if (!ran) // no thread of that size to be had: the ordinary stack, then
        result = review::checkMarkup(text, accessibility);

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 2;
    const QByteArray bytes = review::apart::encode(result);
    if (out.write(bytes) != bytes.size() || !out.flush())
        return 2;
    // Nothing left to tidy up that the system does not do better.
    std::_Exit(0);
}
