"""libdar3 from Python: plays, decodes and inspects MP3 files through the library's C API.

    import dar3
    with dar3.Player() as player:
        player.open("song.mp3")
        print(player.tags, player.length)
        pcm = player.decode()       # 16-bit stereo at player.info["sample_rate"]
"""
from dar3 import events
from dar3.player import CallbackError, Dar3Error, Player, decode

__all__ = ["Player", "Dar3Error", "CallbackError", "decode", "events"]
