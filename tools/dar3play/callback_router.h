// The player's callback carries no context pointer, so one process-wide handler receives the
// messages and hands them to whoever listens now.
#pragma once

#include <cstdint>
#include <functional>

#include "dar3/dar3.h"

using PlayerEventHandler = std::function<int32_t(uint32_t message, intptr_t wparam, intptr_t lparam)>;

// Installs (or, with an empty function, removes) the listener.
void SetPlayerEventHandler(PlayerEventHandler handler);
// The function given to Mp3_SetCallbackFunc.
int32_t RoutePlayerEvent(uint32_t message, intptr_t wparam, intptr_t lparam);
