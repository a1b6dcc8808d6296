#pragma once

#include <functional>

// SIGTERM, SIGHUP and SIGINT end the program without a person to answer a question (a
// shutdown, a closed terminal, Ctrl+C). The signal handler only notes the signal; `handle`
// runs afterwards in the event loop, where it may do real work. Once a signal was noted,
// further SIGTERM and SIGHUP are ignored (a logout sends both, a few milliseconds apart, and
// the work must not be cut short); only SIGINT again ends the process at once (someone
// pressing Ctrl+C twice means it).
namespace platform {

void onTermination(std::function<void(int signal)> handle);

} // namespace platform
