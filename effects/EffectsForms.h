#pragma once

// Registers the effect dialogs and palettes with Forms, under their names.
namespace effects {
void registerForms();
}
