#pragma once

#include "document/Steps.h"

// Carries out Steps on the active document, looked up again before every step. With no
// document open, the document steps do nothing (and nothing fails).
namespace inserter {

void run(const Steps& steps);

} // namespace inserter
