#pragma once

#include <functional>

// SIGTERM, SIGHUP and SIGINT end the program without a person to answer a question (a
// shutdown, a closed terminal, Ctrl+C). The signal handler only notes the signal; `handle`
// runs afterwards in the event loop, where it may do real work. A second signal once that
// work has begun ends the process at once (someone pressing Ctrl+C again means it).
namespace platform {

void onTermination(std::function<void(int signal)> handle);

} // namespace platform
