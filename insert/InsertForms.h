#pragma once

// Registers the insert dialogs and palettes with Forms, under their names.
namespace insert {
void registerForms();
}
