// The program entry's exception guard.
#pragma once

#include <functional>

#include "core/message_ui.h"

// Runs `body`; an exception escaping it is shown in a message box and the
// result is 1 (the program ends with an error code). Otherwise body's result.
int run_guarded(MessageUi& ui, const std::function<int()>& body);
