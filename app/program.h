#pragma once

#include <functional>

#include "ui/application.h"
#include "ui/driver.h"

namespace app {

// Makes the program's windows known to the application by name.
void registerForms(ui::Application& application);

// Start-up, in order: the start-up window is built hidden, its load handler
// runs, it is shown, and the driver's event loop runs until the program ends.
// Returns the exit status: 0 after the last window closed or the program-wide
// end, 1 after an untrapped error. Reads no command line.
int run(ui::Driver& driver, const std::function<int()>& eventLoop);

}  // namespace app
