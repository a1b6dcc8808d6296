#pragma once

#include <QWidget>

class RichEdit;

namespace editing {

// Line numbers in a strip at the left of an editor's text: painted from the blocks in view,
// as wide as the digits of the last line number need. The strip takes its room from the
// editor's viewport margin; without it the editor is as it was.
class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    // Gives the editor a gutter, or takes it away.
    static void showFor(RichEdit* edit, bool on);
    static LineNumberGutter* of(const RichEdit* edit);

    QSize sizeHint() const override { return {m_width, 0}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit LineNumberGutter(RichEdit* edit);
    void fitWidth();
    void place();
    void viewUpdated(const QRect& rect, int dy);
    std::size_t layoutKey() const;

    RichEdit* m_edit;
    int m_width = 0;
    std::size_t m_layoutKey = 0;
};

} // namespace editing
