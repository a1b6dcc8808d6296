#include "insert/frmTable.h"

#include "document/UpDown.h"
#include "insert/TableMarkup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmTable::frmTable() : GeneratorDialog(QStringLiteral("frmTable"), QStringLiteral("Insert Table"))
{
    auto countBox = [this](const char* name, const char* label, int maximum, UpDown*& upDown,
                           const char* upDownName) {
        QLineEdit* box = makeLineEdit(QLatin1String(name), QLatin1String(label));
        box->setFixedWidth(40);
        upDown = new UpDown(this);
        upDown->setObjectName(QLatin1String(upDownName));
        upDown->setAccessibleName(QLatin1String(label));
        upDown->setRange(1, maximum);
        // Starts at 1 and shows it, so the count box and the table agree from the start.
        upDown->setValue(1);
        box->setText(QStringLiteral("1"));
        connect(upDown, &UpDown::valueChanged, box, [box](int v) { box->setText(QString::number(v)); });
        return box;
    };
    m_rows = countBox("txtRows", "Rows", table::maxRows, m_rowCount, "VScroll2");
    m_columns = countBox("txtColumns", "Columns", table::maxColumns, m_columnCount, "VScroll1");
    m_borderWidth = makeLineEdit(QStringLiteral("txtBwidth"), QStringLiteral("Border Width"), 3);
    m_width = makeLineEdit(QStringLiteral("txtWidth"), QStringLiteral("Width"), 3);
    m_height = makeLineEdit(QStringLiteral("txtHeight"), QStringLiteral("Height"), 3);
    m_padding = makeLineEdit(QStringLiteral("txtPadding"), QStringLiteral("Cell Padding"), 3);
    m_spacing = makeLineEdit(QStringLiteral("txtSpacing"), QStringLiteral("Cell Spacing"), 3);
    m_caption = makeLineEdit(QStringLiteral("txtCaption"), QStringLiteral("Caption"));
    for (QLineEdit* box : {m_borderWidth, m_width, m_height, m_padding, m_spacing})
        box->setFixedWidth(40);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    auto withUpDown = [this](QLineEdit* box, UpDown* upDown) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(box);
        row->addWidget(upDown);
        row->addStretch(1);
        return row;
    };
    grid->addWidget(makeLabel(QStringLiteral("Label3"), QStringLiteral("Rows"), m_rows), 0, 0);
    grid->addLayout(withUpDown(m_rows, m_rowCount), 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("Columns"), m_columns), 0, 2);
    grid->addLayout(withUpDown(m_columns, m_columnCount), 0, 3);
    grid->addWidget(makeLabel(QStringLiteral("Label8"), QStringLiteral("Border Width"), m_borderWidth), 1, 0);
    grid->addWidget(m_borderWidth, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label4"), QStringLiteral("Width"), m_width), 2, 0);
    grid->addWidget(m_width, 2, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label5"), QStringLiteral("Height"), m_height), 2, 2);
    grid->addWidget(m_height, 2, 3);
    grid->addWidget(makeLabel(QStringLiteral("Label6"), QStringLiteral("Cell Padding"), m_padding), 3, 0);
    grid->addWidget(m_padding, 3, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label7"), QStringLiteral("Cell Spacing"), m_spacing), 3, 2);
    grid->addWidget(m_spacing, 3, 3);
    grid->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("Caption"), m_caption), 4, 0);
    grid->addWidget(m_caption, 4, 1, 1, 3);
    m_caption->setMinimumWidth(220);

    auto* apply = makeButton(QStringLiteral("cmdApply"), QStringLiteral("Apply"));
    auto* cancelButton = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &frmTable::apply);
    connect(cancelButton, &QPushButton::clicked, this, &frmTable::cancel);
    auto* buttons = GeneratorDialog::buttonRow({apply, cancelButton});

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrderList({m_rows, m_rowCount, m_columns, m_columnCount, m_borderWidth, m_width, m_height,
                     m_padding, m_spacing, m_caption, apply, cancelButton});
    m_rows->setFocus();
}

void frmTable::apply()
{
    // The counts come from the up-downs; a number typed into the count boxes is not used.
    table::Values v;
    v.rows = m_rowCount->value();
    v.columns = m_columnCount->value();
    v.borderWidth = m_borderWidth->text();
    v.width = m_width->text();
    v.height = m_height->text();
    v.padding = m_padding->text();
    v.spacing = m_spacing->text();
    v.caption = m_caption->text();
    run(table::insertTable(v));
}
