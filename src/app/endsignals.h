#pragma once

#include <functional>

class QObject;

namespace velmora {

// Calls ended on the event loop, never inside a signal handler, when the
// operating system asks the program to end: SIGTERM, SIGHUP or SIGINT on
// POSIX systems (a signal the program was started with ignored, as under
// nohup, stays ignored); Ctrl+C, Ctrl+Break or the closing of its console on
// Windows. ended gets the signal's number. After the first, the signals have
// their default effect again: a second one ends the program at once.
void watchEndSignals(QObject* context, std::function<void(int signal)> ended);

}  // namespace velmora
