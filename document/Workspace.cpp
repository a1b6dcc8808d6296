#include "document/Workspace.h"

namespace workspace {

namespace {
ActiveLookup& lookup()
{
    static ActiveLookup current;
    return current;
}
} // namespace

void setActiveLookup(ActiveLookup l) { lookup() = std::move(l); }

frmDocument* activeDocument() { return lookup() ? lookup()() : nullptr; }

SharedValues& shared()
{
    static SharedValues values;
    return values;
}

} // namespace workspace
