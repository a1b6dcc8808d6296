#pragma once

#include <QAbstractSlider>

class QToolButton;

// An up-down (spinner) control: two arrow buttons over a value with a range. It takes the
// focus and answers Up/Down, PgUp/PgDn, Home/End; the up arrow raises the value. Screen
// readers announce the arrows after the value they change ("Increase Rows"): the up-down's
// accessible name, else the text of the label it is the buddy of.
class UpDown : public QAbstractSlider {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void nameArrows();

    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
