#include "platform/Pictures.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QResource>
#include <cstdint>
#include <cstring>
#include <optional>

namespace platform {

QPixmap picture(const QString& name)
{
    // "HVPX", width, height, then the pixels (see resources/RawPicture.cpp); kept uncompressed
    // in the program, so shown straight from its memory.
    const QResource raw(QStringLiteral(":/pictures/%1.argb").arg(name));
    const auto* bytes = raw.data();
    std::uint32_t size[2] = {0, 0};
    if (!bytes || raw.compressionAlgorithm() != QResource::NoCompression || raw.size() < 12 ||
        std::memcmp(bytes, "HVPX", 4) != 0)
        return {};
    std::memcpy(size, bytes + 4, sizeof size);
    if (size[0] == 0 || size[1] == 0 || size[0] > 8192 || size[1] > 8192 ||
        qint64(size[0]) * size[1] * 4 != raw.size() - 12)
        return {};
    // Copied row by row: the resource's bytes need not be aligned as an image's must be.
    QImage pixels{int(size[0]), int(size[1]), QImage::Format_ARGB32_Premultiplied};
    if (pixels.isNull())
        return {};
    const qsizetype row = qsizetype(size[0]) * 4;
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(pixels.scanLine(y), bytes + 12 + y * row, std::size_t(row));
    return QPixmap::fromImage(std::move(pixels));
}

namespace {

// An icon whose pictures come from the style the first time it is drawn or measured.
class DeferredIcon : public QIconEngine {
public:
    DeferredIcon(QPointer<QStyle> style, QStyle::StandardPixmap which) : m_style(style), m_which(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        real().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return real().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return real().availableSizes(mode, state);
    }
    bool isNull() override { return real().isNull(); }
    QIconEngine* clone() const override { return new DeferredIcon(*this); }
    QString key() const override { return QStringLiteral("DeferredIcon"); }

private:
    const QIcon& real()
    {
        if (!m_icon)
            m_icon = m_style ? m_style->standardIcon(m_which) : QIcon();
        return *m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<QIcon> m_icon;
};

class DeferringStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        // Widgets ask for their stock icons as they are made (the menu bar for its overflow
        // button, every document window for its title bar and system menu) and draw them
        // later, if ever.
        // A window's title bar shows the program's own icon, not the toolkit's logo.
        if (which == SP_TitleBarMenuButton && !QApplication::windowIcon().isNull())
            return QApplication::windowIcon();
        if (!option)
            return QIcon(new DeferredIcon(baseStyle(), which));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void deferStockIcons(QApplication&)
{
    QApplication::setStyle(new DeferringStyle);
}

} // namespace platform
