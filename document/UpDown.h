#pragma once

#include <QAbstractSlider>

class QToolButton;

// An up-down (spinner) control: two arrow buttons over a value with a range. It takes the
// focus and answers Up/Down, PgUp/PgDn, Home/End; the up arrow raises the value.
class UpDown : public QAbstractSlider {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
