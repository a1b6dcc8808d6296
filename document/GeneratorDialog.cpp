#include "document/GeneratorDialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QPolygonF>
#include <QPainter>
#include <QCheckBox>

#include "document/Forms.h"
#include "document/Inserter.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <limits>

namespace {

// A check box without a caption of its own (its label stands beside it), drawn as a white
// box with a black tick so that it shows on the red face whatever the style; the focus shows
// as a dashed yellow frame, as on the dialogs' other controls.
class TickBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
    QSize sizeHint() const override { return {19, 19}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect box(3, 3, 13, 13);
        p.fillRect(box, isEnabled() ? Qt::white : QColor(220, 220, 220));
        p.setPen(QColor(90, 0, 0));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (isChecked()) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Qt::black, 2));
            p.drawPolyline(QPolygonF({QPointF(5.5, 9.5), QPointF(8, 12.5), QPointF(13.5, 6)}));
        }
        if (hasFocus()) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
};

} // namespace

namespace {

// Red face 255,0,0 with yellow 255,255,0 captions; boxes keep their own white face.
const char* const lookSheet =
    "GeneratorDialog { background-color: rgb(255,0,0); }"
    "QLabel { color: rgb(255,255,0); background: transparent; }"
    "QRadioButton, QCheckBox { color: rgb(255,255,0); background: transparent; }"
    "QRadioButton::indicator { width: 11px; height: 11px; border: 1px solid rgb(90,0,0);"
    " border-radius: 6px; background: white; }"
    "QRadioButton::indicator:checked { background-color: black; border: 3px solid white;"
    " width: 7px; height: 7px; border-radius: 6px; }"
    "QRadioButton { padding: 1px; border: 1px solid transparent; }"
    "QRadioButton:focus { border: 1px dashed rgb(255,255,0); }"
    "QRadioButton::indicator:disabled { background: rgb(220,220,220); }"
    "QPushButton { background-color: rgb(255,0,0); color: rgb(255,255,0);"
    " border: 1px solid rgb(128,0,0); padding: 3px 12px; min-height: 16px;"
    " font-family: 'MS Sans Serif', sans-serif; }"
    "QPushButton:default { border: 1px solid rgb(255,255,0); }"
    "QPushButton:focus { border: 1px dashed rgb(255,255,0); }"
    "QPushButton:pressed { background-color: rgb(200,0,0); }";

} // namespace

GeneratorDialog::GeneratorDialog(const QString& name, const QString& caption)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setStyleSheet(QString::fromLatin1(lookSheet));
    setSizeGripEnabled(false);
}

void GeneratorDialog::appendInTabOrder(QBoxLayout* layout, QWidget* control)
{
    layout->addWidget(control);
    if (m_tabTail)
        setTabOrder(m_tabTail, control);
    else
        control->setFocus();
    m_tabTail = control;
}

void GeneratorDialog::addPaletteButtons(std::initializer_list<PaletteButton> buttons,
                                        int minimumWidth)
{
    auto* column = new QVBoxLayout(this);
    column->setSpacing(4);
    for (const PaletteButton& e : buttons) {
        QPushButton* b = makeButton(QLatin1String(e.name), QLatin1String(e.caption));
        b->setMinimumWidth(minimumWidth);
        // "&&" shows one ampersand; the name a screen reader says has it too.
        b->setAccessibleName(
            QString::fromLatin1(e.caption).replace(QLatin1String("&&"), QLatin1String("&")));
        if (e.tooltip)
            b->setToolTip(QLatin1String(e.tooltip));
        connect(b, &QPushButton::clicked, this, e.action);
        appendInTabOrder(column, b);
    }
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void GeneratorDialog::showThenUnload(const QString& dialog)
{
    if (unloading())
        return;
    Forms::show(dialog);
    unload();
}

void GeneratorDialog::unloadThenShow(const QString& dialog)
{
    if (unloading())
        return;
    unload();
    Forms::show(dialog);
}

QCheckBox* GeneratorDialog::makeCheck(const char* name, const char* accessibleName)
{
    auto* c = new TickBox(this);
    c->setObjectName(QLatin1String(name));
    c->setAccessibleName(QLatin1String(accessibleName));
    return c;
}

QHBoxLayout* GeneratorDialog::buttonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* b : buttons)
        row->addWidget(b);
    return row;
}

QPushButton* GeneratorDialog::makeButton(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setFlat(true);
    b->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QLabel* GeneratorDialog::makeLabel(const QString& name, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    if (buddy) {
        l->setBuddy(buddy);
        if (buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(text.trimmed());
        if (qobject_cast<QAbstractButton*>(buddy))
            l->installEventFilter(this);
    }
    return l;
}

bool GeneratorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* label = qobject_cast<QLabel*>(watched)) {
            if (auto* button = qobject_cast<QAbstractButton*>(label->buddy());
                button && button->isEnabled()) {
                button->setFocus(Qt::MouseFocusReason);
                button->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString GeneratorDialog::typedText(const QPlainTextEdit* box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

QLineEdit* GeneratorDialog::makeLineEdit(const QString& name, const QString& accessibleName,
                                         int maxLength)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setAccessibleName(accessibleName);
    e->setMaxLength(maxLength > 0 ? maxLength : std::numeric_limits<int>::max());
    return e;
}

QPlainTextEdit* GeneratorDialog::makeTextArea(const QString& name, const QString& accessibleName)
{
    auto* e = new QPlainTextEdit(this);
    e->setObjectName(name);
    e->setAccessibleName(accessibleName);
    e->setTabChangesFocus(true);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return e;
}

QRadioButton* GeneratorDialog::makeOption(const QString& name, const QString& accessibleName)
{
    auto* o = new QRadioButton(this);
    o->setObjectName(name);
    o->setAccessibleName(accessibleName);
    return o;
}

void GeneratorDialog::setTabOrderList(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* w : controls) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void GeneratorDialog::run(const Steps& steps)
{
    if (m_unloading)
        return;
    inserter::run(steps, [this] { unload(); });
}

void GeneratorDialog::unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    Forms::unload(this);
}

void GeneratorDialog::cancel() { run(commonCancel()); }

void GeneratorDialog::reject()
{
    if (!m_unloading)
        cancel();
}

void GeneratorDialog::closeEvent(QCloseEvent* event)
{
    // The close box acts as Cancel; closing by unload (or at shutdown, hidden) does not.
    if (!m_unloading && isVisible())
        cancel();
    m_unloading = true;
    event->accept();
}
