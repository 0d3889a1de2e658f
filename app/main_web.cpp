#include <emscripten/emscripten.h>

#include "app/program.h"
#include "ui/web/web_driver.h"

// The page starts the program once its labels' face is there, and again for
// each "Play again". The driver and the program live on the stack of this
// call, which waits (ASYNCIFY) while the page delivers events.
extern "C" EMSCRIPTEN_KEEPALIVE void vorel_play() {
  int status = 1;
  {
    ui::web::WebDriver driver;
    status = app::run(driver, [&driver] { return driver.run(); });
  }
  ui::web::WebDriver::showEnd(status);
}
