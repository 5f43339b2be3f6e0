#pragma once
// The player's wave ring as its device sees it. Tests that pace the headless device need to
// know how many buffers wait for it, which only the player's own output can tell: these tests
// use the player's class itself, not a handle of the library.
#include <cstdint>

#include "mp3/player/dar3_player.h"

// Buffers the decoding thread has queued and the device has not yet played.
uint32_t QueuedBuffers(DAr3& p);
// Waits (up to 2 s) until at least `buffers` are queued ahead of the device.
void WaitQueued(DAr3& p, uint32_t buffers);
