#pragma once

#include "document/Steps.h"

// The toolbar's WebBot Search: a fixed site-search form between two WebBot comments, four
// green lines; typing afterwards is black.
namespace webbot {

QString openingComment(); // string A
QString fieldAndSubmit(); // string B
QString resetAndClosing(); // string C

Steps searchForm();

} // namespace webbot
