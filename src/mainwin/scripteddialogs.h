#pragma once

#include "app/dialogseam.h"

#include <memory>

namespace orv {

// For tests that start the program as its own process, where nobody can
// click: with ORVANE_TEST_DIALOGS naming a file, every message box is
// appended to that file (its text, one line) instead of shown, and answered
// from ORVANE_TEST_ANSWER ("ja": Yes or OK, "nein": No or Cancel, else the
// box's default answer); file dialogs are cancelled. Without the variable
// there is no such seam (nullptr).
std::unique_ptr<DialogSeam> ScriptedDialogsFromEnvironment();

} // namespace orv
