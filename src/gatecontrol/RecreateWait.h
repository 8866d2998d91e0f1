#pragma once

#include <functional>

// The pause between freeing a socket and creating its successor. Production pumps the event loop
// for the time (user input excluded); tests pass one that returns at once.
using RecreateWait = std::function<void(int ms)>;

RecreateWait eventLoopWait();
