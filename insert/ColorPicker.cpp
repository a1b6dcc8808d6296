#include "insert/ColorPicker.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

struct Group {
    const char* heading; // label name
    const char* title;
    int preview;         // index of its preview box (Text1..Text4 -> 0..3)
    Rgb initial;
};

// In bar order: HS1-3 background, HS4-6 text, HS7-9 link, HS10-12 visited link.
constexpr Group groups[] = {
    {"Label1", "Background Color", 0, {255, 255, 255}},
    {"Label2", "Text Color", 2, {0, 0, 0}},
    {"Label3", "Link Color", 1, {255, 0, 0}},
    {"Label4", "Visited Link Color", 3, {0, 0, 255}},
};

// The preview boxes' fixed texts: two lines of spaces, the group's name, a final break.
QString previewText(int spaces1, int spaces2, int indent, const char* name)
{
    const QString crlf = QStringLiteral("\r\n");
    return QString(spaces1, QLatin1Char(' ')) + crlf + QString(spaces2, QLatin1Char(' ')) + crlf +
           QString(indent, QLatin1Char(' ')) + QLatin1String(name) + crlf;
}

// A colour bar that shows when it has the keyboard focus.
class ColourBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QScrollBar::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter p(this);
        p.setPen(QPen(QColor(255, 255, 0), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
};

QString cssColour(const Rgb& c) { return QStringLiteral("rgb(%1,%2,%3)").arg(c.r).arg(c.g).arg(c.b); }

QFrame* separator(QWidget* parent, const char* name, QFrame::Shape shape)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setFrameShape(shape);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

ColorPicker::ColorPicker()
    : GeneratorDialog(QStringLiteral("color"), QStringLiteral("Color Picker"))
{
    // Text1 shows no text; the others their group's name in their group's colour.
    const QString previewTexts[4] = {QString(), previewText(33, 33, 9, "Link Color"),
                                     previewText(18, 27, 6, "Text Color"),
                                     previewText(30, 25, 1, "Visited Link Color")};
    for (int i = 0; i < 4; ++i) {
        auto* p = new QPlainTextEdit(this);
        p->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        p->setReadOnly(true);
        p->setFocusPolicy(Qt::NoFocus);
        p->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        p->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        p->setLineWrapMode(QPlainTextEdit::NoWrap);
        p->setPlainText(QString(previewTexts[i]).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        p->setAccessibleName(i == 0 ? QStringLiteral("Background preview")
                                    : previewTexts[i].trimmed() + QStringLiteral(" preview"));
        p->setFixedSize(200, 64);
        m_preview[i] = p;
    }

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    const char* const componentNames[3] = {"Red", "Green", "Blue"};
    QList<QWidget*> tabOrder;
    for (int g = 0; g < 4; ++g) {
        auto* box = new QVBoxLayout;
        auto* heading = makeLabel(QLatin1String(groups[g].heading), QLatin1String(groups[g].title));
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        box->addWidget(heading);
        auto* bars = new QGridLayout;
        const int initial[3] = {groups[g].initial.r, groups[g].initial.g, groups[g].initial.b};
        for (int c = 0; c < 3; ++c) {
            const int index = g * 3 + c;
            auto* bar = new ColourBar(Qt::Horizontal, this);
            bar->setObjectName(QStringLiteral("HS%1").arg(index + 1));
            bar->setRange(0, 255);
            bar->setSingleStep(1);
            bar->setPageStep(16);
            bar->setFocusPolicy(Qt::StrongFocus);
            bar->setInvertedControls(false); // Left lowers the value, Right raises it
            bar->setMinimumWidth(150);
            bar->setAccessibleName(QLatin1String(groups[g].title) + QLatin1Char(' ') +
                                   QLatin1String(componentNames[c]));
            bar->setValue(initial[c]);
            m_bars[index] = bar;
            auto* value = makeLineEdit(QStringLiteral("Text%1").arg(index + 5),
                                       bar->accessibleName() + QStringLiteral(" value"));
            value->setReadOnly(true);
            value->setFocusPolicy(Qt::ClickFocus);
            value->setFixedWidth(40);
            value->setAlignment(Qt::AlignRight);
            m_values[index] = value;
            auto* label = makeLabel(QStringLiteral("Label%1%2").arg(QLatin1String(componentNames[c])).arg(g + 1),
                                    QLatin1String(componentNames[c]), bar);
            bars->addWidget(label, c, 0);
            bars->addWidget(bar, c, 1);
            bars->addWidget(value, c, 2);
            tabOrder.append(bar);
        }
        box->addLayout(bars);
        box->addWidget(m_preview[groups[g].preview], 0, Qt::AlignHCenter);
        grid->addLayout(box, (g / 2) * 2, (g % 2) * 2);
    }
    grid->addWidget(separator(this, "Frame1", QFrame::VLine), 0, 1, 3, 1);
    grid->addWidget(separator(this, "Frame2", QFrame::HLine), 1, 0, 1, 3);

    m_poText = makeLineEdit(QStringLiteral("POText"), QStringLiteral("Body tag"));
    m_poText->hide();

    auto* apply = makeButton(QStringLiteral("FB1"), QStringLiteral("Apply"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &ColorPicker::apply);
    tabOrder.append(apply);

    auto* buttons = GeneratorDialog::buttonRow({apply});
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addWidget(separator(this, "Line1", QFrame::HLine));
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    for (int i = 0; i < 12; ++i) {
        m_values[i]->setText(QString::number(m_bars[i]->value()));
        connect(m_bars[i], &QScrollBar::valueChanged, this, [this, i] { barChanged(i); });
    }
    updatePreview();
    m_bars[0]->setFocus();
}

pagecolours::Colours ColorPicker::colours() const
{
    auto rgb = [this](int first) {
        return Rgb{m_bars[first]->value(), m_bars[first + 1]->value(), m_bars[first + 2]->value()};
    };
    return {rgb(0), rgb(3), rgb(6), rgb(9)};
}

void ColorPicker::barChanged(int bar)
{
    m_values[bar]->setText(QString::number(m_bars[bar]->value()));
    updatePreview();
}

void ColorPicker::updatePreview()
{
    // Every box has the background colour behind it; the text box (and Text1, which shows
    // nothing) takes the text colour, the link boxes their own colours.
    const pagecolours::Colours c = colours();
    const Rgb foreground[4] = {c.text, c.link, c.text, c.visited};
    for (int i = 0; i < 4; ++i)
        m_preview[i]->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: %1; color: %2; }")
                                        .arg(cssColour(c.background), cssColour(foreground[i])));
}

void ColorPicker::apply()
{
    if (unloading())
        return;
    const auto [first, second] = pagecolours::bodyTagHalves(colours());
    m_poText->insert(first);
    m_poText->insert(second);
    run(pagecolours::applySteps(m_poText->text()));
}

void ColorPicker::cancel() { run({step::CloseDialog{}}); }
