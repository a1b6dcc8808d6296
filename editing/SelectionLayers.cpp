#include "editing/SelectionLayers.h"

#include <QPlainTextEdit>
#include <array>

namespace editing {
namespace {

// Each editor's layers, kept by a child object so that they go with the editor.
class Layers : public QObject {
public:
    explicit Layers(QObject* parent) : QObject(parent) { setObjectName(QString::fromLatin1(name)); }
    static constexpr const char* name = "halvaneSelectionLayers";
    std::array<QList<QTextEdit::ExtraSelection>, static_cast<int>(Layer::Count)> lists;
};

Layers* layersOf(const QPlainTextEdit* edit)
{
    return dynamic_cast<Layers*>(
        edit->findChild<QObject*>(QString::fromLatin1(Layers::name), Qt::FindDirectChildrenOnly));
}

} // namespace

void setLayer(QPlainTextEdit* edit, Layer which, QList<QTextEdit::ExtraSelection> selections)
{
    Layers* layers = layersOf(edit);
    if (!layers) {
        if (selections.isEmpty())
            return;
        layers = new Layers(edit);
    }
    QList<QTextEdit::ExtraSelection>& list = layers->lists[static_cast<int>(which)];
    if (list.isEmpty() && selections.isEmpty())
        return;
    list = std::move(selections);
    QList<QTextEdit::ExtraSelection> all;
    for (const QList<QTextEdit::ExtraSelection>& one : layers->lists)
        all += one;
    edit->setExtraSelections(all);
}

const QList<QTextEdit::ExtraSelection>& layer(const QPlainTextEdit* edit, Layer which)
{
    static const QList<QTextEdit::ExtraSelection> none;
    const Layers* layers = layersOf(edit);
    return layers ? layers->lists[static_cast<int>(which)] : none;
}

} // namespace editing
