#pragma once

namespace velmora {

// Shows the mathematical screen saver, single-instance.
void startScreenSaver();

}  // namespace velmora
