#!/usr/bin/env python3
"""play_mp3.py: plays an MP3 file to its end with libdar3's Python binding.

    python3 play_mp3.py song.mp3
"""
import sys
import threading

import dar3


def main():
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} FILE.mp3")
    ended = threading.Event()
    with dar3.Player() as player:
        try:
            player.open(sys.argv[1])
            player.on(dar3.events.STOP, lambda *message: ended.set())
            player.play()
        except dar3.Dar3Error as error:
            sys.exit(f"play_mp3: {sys.argv[1]}: {error}")
        info, tags = player.info, player.tags
        print(f"playing {tags.get('title', sys.argv[1])}: {info['sample_rate']} Hz, "
              f"{info['bitrate']} kbit/s, {player.length / 1000:.3f} s", flush=True)
        while not ended.wait(0.5):
            print(f"\r{player.position / 1000:7.1f} s", end="", flush=True)
    print("\ndone")


if __name__ == "__main__":
    main()
