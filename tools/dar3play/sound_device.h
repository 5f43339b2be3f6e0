// Whether anything played will be heard. The library falls back to a silent device that keeps
// time when there is no sound card, so dar3play asks the sound system itself before it plays.
#pragma once

enum class SoundOutput {
  kCard,         // a sound card opened
  kSilentAsked,  // the user asked SDL for no sound (SDL_AUDIODRIVER=dummy or disk)
  kNone,         // no card could be opened, or the headless backend (JED_HEADLESS=1) plays nowhere
};

SoundOutput CheckSoundOutput();
// Makes the library play into its silent device, in real time (--output null).
void SelectSilentOutput();
