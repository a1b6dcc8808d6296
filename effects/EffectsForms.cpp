#include "effects/EffectsForms.h"

#include "document/Forms.h"
#include "effects/frmDynAnim.h"
#include "effects/frmLoader.h"

namespace effects {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("frmDynAnim"), [] { return new frmDynAnim; });
    Forms::registerFactory(QStringLiteral("frmLoader"), [] { return new frmLoader; });
}

} // namespace effects
