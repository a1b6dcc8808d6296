#include "insert/InsertForms.h"

#include "document/Forms.h"
#include "insert/ColorPicker.h"

namespace insert {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("color"), [] { return new ColorPicker; });
}

} // namespace insert
