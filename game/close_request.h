#pragma once
// A phase asks to end by posting WM_DESTROY to the game window.
void PostCloseRequest();
