#pragma once

#include "document/Steps.h"

#include <functional>

// Carries out Steps on the active document, looked up again before every step. With no
// document open, the document steps do nothing (and nothing fails).
namespace inserter {

// closeDialog runs at each CloseDialog step, document or not.
void run(const Steps& steps, const std::function<void()>& closeDialog = {});

} // namespace inserter
