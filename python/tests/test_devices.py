"""Output devices through SDL (a child process: the backend is chosen once per process)."""
import json
import os
import subprocess
import sys

CHILD = r"""
import json, sys, threading
import dar3
ended = threading.Event()
with dar3.Player() as player:
    names = player.devices()
    player.set_device(len(names) - 1)
    player.open(sys.argv[1], buffer_ms=300)
    player.on(dar3.events.STOP, lambda *message: ended.set())
    player.play()
    finished = ended.wait(10)
    print(json.dumps({"names": names, "finished": finished, "length": player.length}))
"""


def run_on_sdl(song, driver):
    env = dict(os.environ, JED_HEADLESS="0", SDL_AUDIODRIVER=driver)
    env.pop("SDL_DISKAUDIOFILE", None)
    done = subprocess.run([sys.executable, "-c", CHILD, str(song)], env=env, capture_output=True,
                          text=True, timeout=60, cwd=song.parent)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)


def test_sdl_devices_are_listed_and_a_chosen_one_plays_the_song(left_only):
    result = run_on_sdl(left_only, "dummy")
    # SDL's dummy driver has one device, under SDL's own name.
    assert result["names"] == ["System audio output device"]
    assert result["finished"] and result["length"] > 900


def test_a_second_sdl_driver_lists_its_devices(left_only):
    result = run_on_sdl(left_only, "disk")
    assert len(result["names"]) == 1 and result["finished"]
    assert (left_only.parent / "sdlaudio.raw").stat().st_size > 44100 * 4 * 0.9
