#pragma once

#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <vector>

class RichEdit;

namespace editing {

// Line numbers in a strip at the left of an editor's text: painted from the blocks in view,
// as wide as the digits of the last line number need. The strip takes its room from the
// editor's viewport margin; without it the editor is as it was.
// The same strip holds the markers of the markup findings shown in the page (see
// FindingMarks), in a narrow margin at its left that is there with or without the numbers.
class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    // Gives the editor a gutter, or takes it away.
    static void showFor(RichEdit* edit, bool on);
    // Gives the editor the findings' marker margin, or takes it away.
    static void showMarkers(RichEdit* edit, bool on);
    bool numbersShown() const { return m_numbers; }
    bool markersShown() const { return m_markers; }
    static constexpr int markerWidth = 12;
    static LineNumberGutter* of(const RichEdit* edit);

    QSize sizeHint() const override { return {m_width, 0}; }

    // The numbers that stand in `area` of the strip: each line's number (counted from 1) at
    // the top of its first display block. A block that continues a long line has none.
    struct Label {
        int top;
        int number;
    };
    std::vector<Label> labels(const QRect& area) const;

    // The markers in `area`: the top and height of the display block where a finding starts,
    // and the most serious kind of the findings that start there.
    struct Marker {
        int top;
        int height;
        int from; // the block's widget positions
        int to;
        int kind; // editing::PageFinding::Kind
    };
    std::vector<Marker> markers(const QRect& area) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    explicit LineNumberGutter(RichEdit* edit);
    static void configure(RichEdit* edit, bool numbers, bool markers);
    void fitWidth();
    void place();
    void viewUpdated(const QRect& rect, int dy);
    std::size_t layoutKey() const;
    void prepareDigits();

    RichEdit* m_edit;
    bool m_numbers = false;
    bool m_markers = false;
    int m_width = 0;
    std::size_t m_layoutKey = 0;
    // The ten digits drawn once in the editor's font: a number is painted by copying them,
    // which costs far less than laying out its text on every repaint.
    std::array<QPixmap, 10> m_digits;
    QFont m_digitsFont;
    qreal m_digitsRatio = 0;
    int m_digitWidth = 0;
};

} // namespace editing
