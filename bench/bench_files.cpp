// Benchmarks of the file commands' work: opening and saving a plain page, and writing and
// reading the coloured editing format. Beside each, the same bytes moved by the bare widget
// (QFile + QPlainTextEdit), prefixed "floor.".
//
// Usage: halvane_bench_files [scenario...]   (open save rtf; default: all)

#include "Pages.h"
#include "Probe.h"

#include "app/FileCommands.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/RtfCodec.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

constexpr qsizetype MiB = 1024 * 1024;
using probe::report;

void expect(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "bench: %s\n", what);
        std::exit(1);
    }
}

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    expect(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "cannot write a page");
}

// A document window shown offscreen, as the active document.
struct Window {
    frmDocument* doc = new frmDocument;
    Window()
    {
        doc->resize(900, 650);
        workspace::setActiveLookup([d = doc] { return d; });
        doc->load();
        QCoreApplication::processEvents();
    }
    ~Window()
    {
        workspace::setActiveLookup({});
        delete doc;
    }
};

void openPage()
{
    const QString path = scratch().filePath("big.htm");
    writeBytes(path, benchpages::page(10 * MiB).toUtf8());
    {
        Window warm; // fonts and first layout out of the measurement
        QString reason;
        writeBytes(scratch().filePath("small.htm"), benchpages::page(4096).toUtf8());
        files::loadInto(*warm.doc, scratch().filePath("small.htm"), &reason);
    }
    Window w;
    QString reason;
    probe::Stopwatch t;
    const bool ok = files::loadInto(*w.doc, path, &reason);
    QCoreApplication::processEvents();
    const double ms = t.ms();
    expect(ok && w.doc->editor()->textLength() > 10 * MiB - 200, "open: the page did not arrive");
    report("file.open_10MiB_ms", ms, "ms");

    QPlainTextEdit floor;
    floor.resize(880, 630);
    floor.show();
    probe::Stopwatch f;
    QFile in(path);
    expect(in.open(QIODevice::ReadOnly), "open floor: cannot read");
    floor.setPlainText(QString::fromUtf8(in.readAll()));
    QCoreApplication::processEvents();
    report("floor.open_10MiB_ms", f.ms(), "ms");
}

void savePage()
{
    Window w;
    w.doc->editor()->setWholeText(benchpages::page(10 * MiB));
    QCoreApplication::processEvents();
    const QString path = scratch().filePath("saved.htm");
    QString reason;
    probe::Stopwatch t;
    const bool ok = files::writePage(*w.doc, path, &reason);
    const double ms = t.ms();
    expect(ok && QFile(path).size() > 10 * MiB - 200, "save: the page was not written");
    report("file.save_10MiB_ms", ms, "ms");

    QPlainTextEdit floor;
    floor.setPlainText(benchpages::page(10 * MiB));
    probe::Stopwatch f;
    QFile out(scratch().filePath("floor.htm"));
    expect(out.open(QIODevice::WriteOnly), "save floor: cannot write");
    out.write(floor.toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")).toUtf8());
    out.close();
    report("floor.save_10MiB_ms", f.ms(), "ms");
}

void editingFormat()
{
    const QString path = scratch().filePath("coloured.hted");
    {
        Window w;
        w.doc->editor()->setWholeRuns(benchpages::colouredRuns(1 * MiB));
        QCoreApplication::processEvents();
        QString reason;
        probe::Stopwatch t;
        const bool ok = files::writeEditingFile(*w.doc, path, &reason);
        const double ms = t.ms();
        expect(ok, "rtf save: not written");
        report("rtf.save_1MiB_colored_ms", ms, "ms");
    }
    Window w;
    QString reason;
    probe::Stopwatch t;
    const bool ok = files::loadInto(*w.doc, path, &reason);
    QCoreApplication::processEvents();
    const double ms = t.ms();
    expect(ok && w.doc->editor()->textLength() > MiB - 200, "rtf open: the page did not arrive");
    report("rtf.open_1MiB_colored_ms", ms, "ms");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::pair<const char*, std::function<void()>> scenarios[] = {
        {"open", openPage}, {"save", savePage}, {"rtf", editingFormat}};
    const QStringList wanted = app.arguments().mid(1);
    for (const auto& [name, run] : scenarios)
        if (wanted.isEmpty() || wanted.contains(QLatin1String(name)))
            run();
    return 0;
}
