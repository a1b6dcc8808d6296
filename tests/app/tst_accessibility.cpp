#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/frmDocument.h"

#include <QAccessible>
#include <QLabel>
#include <QToolButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>

using testkit::App;

namespace {

// Controls a person acts on: each needs a name a screen reader can announce.
bool interactive(QAccessibleInterface* a)
{
    switch (a->role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::EditableText:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
        return true;
    default:
        return a->state().editable || a->state().focusable;
    }
}

// A programmer's identifier: "Form2", "Text1", "UpDown1", "frmTable", "txtRows". Words a
// person reads have spaces, or no digit and no inner capital ("Apply" names a button well).
bool identifier(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^(?:[A-Z][A-Za-z]+\\d+|[a-z]{2,}[A-Z]\\w*)$"));
    return pattern.match(name).hasMatch();
}

// Every accessible object under `root` that is interactive and unnamed, or announced by an
// identifier, as "<window>: <object name> (<role>) '<name>'".
QStringList unnamedUnder(QObject* root, const QString& window)
{
    QStringList found;
    QSet<QObject*> seen;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
        if (!a || !a->isValid() || (a->object() && seen.contains(a->object())))
            return;
        if (a->object())
            seen.insert(a->object());
        const QString name = a->text(QAccessible::Name).trimmed();
        const QString objectName = a->object() ? a->object()->objectName() : QString();
        if ((interactive(a) && name.isEmpty()) || identifier(name))
            found << QStringLiteral("%1: %2 (role %3) '%4'")
                         .arg(window, objectName, QString::number(int(a->role())), name);
        for (int i = 0; i < a->childCount(); ++i)
            walk(a->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(root));
    return found;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testkit::isolate(); }

    void everyControlHasAName()
    {
        App app;
        frmDocument* page = app.newDocument();
        QVERIFY(page);
        QStringList found = unnamedUnder(&app.main(), QStringLiteral("main window"));

        int windows = 1;
        for (const QString& name : Forms::names()) {
            QWidget* dialog = Forms::show(name);
            QVERIFY2(dialog && dialog->isVisible(), qPrintable(name));
            found << unnamedUnder(dialog, name);
            ++windows;
            Forms::unload(dialog);
            testkit::takeMessages();
        }
        QVERIFY2(windows > 30, qPrintable(QString::number(windows)));
        QVERIFY2(found.isEmpty(), qPrintable(QString::number(found.size()) + " unnamed:\n" + found.join('\n')));
        QCOMPARE(app.edit()->accessibleName(), QStringLiteral("Page ") + page->windowTitle());
    }

    // The arrows of an up-down are announced after the value they change: the up-down's own
    // name, else the label it is the buddy of.
    void upDownArrowsSayWhatTheyChange_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("upDown");
        QTest::addColumn<QString>("value");
        QTest::newRow("table rows") << "frmTable" << "VScroll2" << "Rows";
        QTest::newRow("table columns") << "frmTable" << "VScroll1" << "Columns";
        QTest::newRow("sound loops") << "sound" << "UpDown1" << "Number of Loops";
        QTest::newRow("animation width") << "frmDynAnim" << "UpDown2" << "Image Width(Pixels)";
        QTest::newRow("frame share") << "frmFrame" << "UpDown1" << "First frame percentage";
        QTest::newRow("unnamed, labelled") << QString() << QString() << "Spacing";
    }
    void upDownArrowsSayWhatTheyChange()
    {
        QFETCH(QString, form);
        QFETCH(QString, upDown);
        QFETCH(QString, value);
        App app;
        QWidget* dialog = nullptr;
        std::unique_ptr<QWidget> own;
        if (form.isEmpty()) {
            own = std::make_unique<QWidget>();
            (new QLabel(QStringLiteral("&Spacing"), own.get()))->setBuddy(new UpDown(own.get()));
            dialog = own.get();
            dialog->show();
        } else {
            dialog = Forms::show(form);
        }
        auto* control = upDown.isEmpty() ? dialog->findChild<UpDown*>()
                                         : dialog->findChild<UpDown*>(upDown);
        QVERIFY(control);
        QStringList names;
        for (QToolButton* arrow : control->findChildren<QToolButton*>())
            names << QAccessible::queryAccessibleInterface(arrow)->text(QAccessible::Name);
        QCOMPARE(names, (QStringList{"Increase " + value, "Decrease " + value}));
    }

    // The page's name follows its caption (a save or an open names it after its file).
    void thePageIsNamedAfterItsCaption()
    {
        App app;
        frmDocument* page = app.newDocument();
        page->setWindowTitle(QStringLiteral("/home/user/site/index.htm"));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(app.edit());
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Page /home/user/site/index.htm"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
