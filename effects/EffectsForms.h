#pragma once

// The effect dialogs and palettes, registered with Forms by name.
namespace effects {

void registerForms();

} // namespace effects
