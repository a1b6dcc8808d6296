#include "effects/EffectsForms.h"

#include "document/Forms.h"
#include "effects/frmFrame.h"
#include "effects/frmLayer.h"
#include "effects/frmScrolly.h"

namespace effects {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("frmLayer"), [] { return new frmLayer; });
    Forms::registerFactory(QStringLiteral("frmScrolly"), [] { return new frmScrolly; });
    Forms::registerFactory(QStringLiteral("frmFrame"), [] { return new frmFrame; });
}

} // namespace effects
