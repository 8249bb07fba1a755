#include "shell/startscreensaver.h"

namespace velmora {

void startScreenSaver() {
    // Shows the screen saver window once it is built.
}

}  // namespace velmora
