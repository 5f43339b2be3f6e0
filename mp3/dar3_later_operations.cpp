// Operations whose features are not part of this build yet. Each holds its interface slot and
// fails with a message naming itself, so callers learn why instead of getting silence.
#include "mp3/dar3_player.h"

