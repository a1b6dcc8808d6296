#include "document/UpDown.h"

#include <QLabel>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget* parent) : QAbstractSlider(parent)
{
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(5);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    const struct {
        Qt::ArrowType arrow;
        SliderAction action;
        const char* name;
    } arrows[] = {{Qt::UpArrow, SliderSingleStepAdd, "up"}, {Qt::DownArrow, SliderSingleStepSub, "down"}};
    for (const auto& a : arrows) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(a.name));
        b->setArrowType(a.arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setStyleSheet(QStringLiteral("QToolButton { background: rgb(236,236,236);"
                                        " border: 1px solid rgb(120,120,120); }"));
        const SliderAction action = a.action;
        connect(b, &QToolButton::clicked, this, [this, action] { triggerAction(action); });
        layout->addWidget(b);
        (a.arrow == Qt::UpArrow ? m_up : m_down) = b;
    }
}

QSize UpDown::sizeHint() const { return {20, 26}; }

void UpDown::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    // The arrows fill the control; the focus shows as a frame around them.
    QPainter p(this);
    p.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void UpDown::showEvent(QShowEvent* event)
{
    QAbstractSlider::showEvent(event);
    nameArrows();
}

void UpDown::nameArrows()
{
    QString value = accessibleName();
    if (value.isEmpty() && parentWidget()) {
        const auto labels = parentWidget()->findChildren<QLabel*>();
        for (const QLabel* label : labels)
            if (label->buddy() == this) {
                value = label->text().remove(QLatin1Char('&')).trimmed();
                break;
            }
    }
    const QString suffix = value.isEmpty() ? QString() : QLatin1Char(' ') + value;
    m_up->setAccessibleName(QStringLiteral("Increase") + suffix);
    m_down->setAccessibleName(QStringLiteral("Decrease") + suffix);
}
