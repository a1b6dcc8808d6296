// Benchmarks of the file commands' work: opening and saving a plain page, and writing and
// reading the coloured editing format. Beside each, the same bytes moved by the bare widget
// (QFile + QPlainTextEdit), prefixed "floor.".
//
// Usage: halvane_bench_files [scenario...]   (open save rtf hostile largest; default: all
// but hostile and largest, which each need a process of their own for their peak memory)

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

// Loads a file into the window's document and lets it lay out: the CPU time that takes.
double timedLoad(Window& w, const QString& path, bool* ok, QString* reason)
{
    probe::Stopwatch t;
    *ok = files::loadInto(*w.doc, path, reason);
    QCoreApplication::processEvents();
    return t.ms();
}

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
    bool ok = false;
    const double ms = timedLoad(w, path, &ok, &reason);
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
    bool ok = false;
    const double ms = timedLoad(w, path, &ok, &reason);
    expect(ok && w.doc->editor()->textLength() > MiB - 200, "rtf open: the page did not arrive");
    report("rtf.open_1MiB_colored_ms", ms, "ms");
}

// An editing file of `bytes` bytes written piece by piece (never whole in memory): the RTF
// head with two colours, then `unit` `count` times (as often as fits when 0), then a group
// that readers skip filling the rest.
void writeEditingFileOfSize(const QString& path, qsizetype bytes, const QByteArray& unit,
                            qsizetype count = 0)
{
    QFile f(path);
    expect(f.open(QIODevice::WriteOnly), "cannot write an editing file");
    f.write("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}\r\n"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n\\pard\\f0\\fs20 ");
    const qsizetype perChunk = std::max<qsizetype>(1, MiB / unit.size());
    const QByteArray chunk = unit.repeated(perChunk);
    qsizetype left = count > 0 ? count : bytes / unit.size();
    while (left > 0 && f.size() + unit.size() * std::min(left, perChunk) < bytes - 64) {
        const QByteArray piece = left >= perChunk ? chunk : unit.repeated(left);
        expect(f.write(piece) == piece.size(), "editing file: disk full");
        left -= std::min(left, perChunk);
    }
    f.write("{\\*\\halvanepadding ");
    const QByteArray padding(MiB, 'x');
    while (f.size() < bytes - 8)
        f.write(padding.constData(), std::min<qint64>(padding.size(), bytes - 8 - f.size()));
    f.write("}}\r\n");
}

// Opening a 250 MB editing file: the time it takes, the process's peak memory, and whether
// the document is usable afterwards (it takes a small page).
void openLargeEditingFile(const char* name, const QByteArray& unit, qsizetype count = 0)
{
    const QString path = scratch().filePath("large.hted");
    writeEditingFileOfSize(path, 250 * MiB, unit, count);
    Window w;
    QString reason;
    bool opened = false;
    const double ms = timedLoad(w, path, &opened, &reason);
    QFile::remove(path);
    std::fprintf(stderr, "bench: %s: %s\n", name,
                 opened ? qPrintable(QStringLiteral("opened, %1 characters")
                                         .arg(w.doc->editor()->textLength()))
                        : qPrintable(QStringLiteral("refused: ") + reason));
    report(qPrintable(QStringLiteral("%1.hted_open_ms_250MB").arg(QLatin1String(name))), ms, "ms");
    report(qPrintable(QStringLiteral("%1.hted_peak_rss_mb_250MB").arg(QLatin1String(name))),
           static_cast<double>(probe::peakResident()) / MiB, "MB");

    const QString small = scratch().filePath("small.htm");
    writeBytes(small, "<P>after</P>");
    expect(files::loadInto(*w.doc, small, &reason) &&
               w.doc->editor()->text() == QLatin1String("<P>after</P>"),
           "the document is not usable after the large editing file");
}

// A colour change at every character, two colours in turn, for all 250 MB.
void hostileEditingFile() { openLargeEditingFile("hostile", "\\cf1 a\\cf2 b"); }

// The largest page the editor is given, just inside every limit (250,000 colour runs, 500,000
// lines, 32 Mi characters), the rest of the 250 MB a group readers skip.
void largestEditingFile()
{
    QByteArray unit = "\\cf1 <P>\\cf0 ";
    for (int line = 0; line < 4; ++line)
        unit += "Sixty-two characters of black text, one of four lines a tag.\\par\r\n";
    openLargeEditingFile("largest", unit, 124500);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::pair<const char*, std::function<void()>> scenarios[] = {
        {"open", openPage}, {"save", savePage}, {"rtf", editingFormat},
        {"hostile", hostileEditingFile}, {"largest", largestEditingFile}};
    const QStringList wanted = app.arguments().mid(1);
    const QStringList alone{QStringLiteral("hostile"), QStringLiteral("largest")};
    for (const auto& [name, run] : scenarios)
        if (wanted.contains(QLatin1String(name)) ||
            (wanted.isEmpty() && !alone.contains(QLatin1String(name))))
            run();
    return 0;
}
