#include "platform/AccessibleNames.h"

#include <QAccessibleWidget>
#include <QMdiSubWindow>

namespace platform {

namespace {

constexpr char announcedByName[] = "halvaneAnnouncedByName";

// A work-area window told by its accessible name rather than its caption.
class NamedSubWindow : public QAccessibleWidget {
public:
    explicit NamedSubWindow(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? widget()->accessibleName() : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* namedSubWindows(const QString& className, QObject* object)
{
    if (className == QLatin1String("QMdiSubWindow") && object->property(announcedByName).toBool())
        return new NamedSubWindow(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void announceSubWindowAs(QMdiSubWindow* window, const QString& name)
{
    static const bool installed = [] {
        QAccessible::installFactory(namedSubWindows);
        return true;
    }();
    (void)installed;
    window->setProperty(announcedByName, true);
    window->setAccessibleName(name);
}

} // namespace platform
