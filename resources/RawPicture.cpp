// Build tool: turns a PNG picture into the program's raw picture form, which the program
// shows without decoding anything: "HVPX", width and height (32-bit, this machine's byte
// order), then the rows of premultiplied 32-bit ARGB pixels.
//
//   halvane_rawpicture in.png out.argb

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <cstdint>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: halvane_rawpicture in.png out.argb\n");
        return 2;
    }
    const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "halvane_rawpicture: cannot read %s\n", argv[1]);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "halvane_rawpicture: cannot write %s\n", argv[2]);
        return 1;
    }
    const std::uint32_t size[2] = {std::uint32_t(image.width()), std::uint32_t(image.height())};
    out.write("HVPX", 4);
    out.write(reinterpret_cast<const char*>(size), sizeof size);
    for (int y = 0; y < image.height(); ++y)
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(image.width()) * 4);
    return out.error() == QFile::NoError ? 0 : 1;
}
