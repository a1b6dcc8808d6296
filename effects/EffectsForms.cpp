#include "effects/EffectsForms.h"

#include "document/Forms.h"
#include "effects/frmLayer.h"

namespace effects {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("frmLayer"), [] { return new frmLayer; });
}

} // namespace effects
