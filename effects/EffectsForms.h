#pragma once

// The script and effect dialogs, registered with Forms by name.
namespace effects {

void registerForms();

} // namespace effects
