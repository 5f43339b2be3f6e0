#include "game/close_request.h"

#include "platform/window.h"

void PostCloseRequest() { platform::PostMessage(platform::GameWindowHandle(), platform::WM_DESTROY, 0, 0); }
