// Which parts of the player screen fit in a terminal of a given height, and where. Parts are
// dropped least useful first, so the title, the time and the status stay longest; below three
// rows one line holds the title and the time.
#pragma once

#include <vector>

enum class ScreenPart {
  kHeader,  // "dar3play  3/12  shuffle  repeat all"
  kTitle,
  kArtist,
  kAlbum,
  kFormat,
  kProgress,  // bar and time
  kVu,        // two rows
  kSpectrum,  // what is left, at least kMinSpectrumRows
  kSettings,  // two rows
  kStatus,
  kKeys,          // two rows
  kTitleAndTime,  // the one-line layout
};

struct PlacedPart {
  ScreenPart part;
  int row;
  int rows;
};

constexpr int kMinSpectrumRows = 4;

// In screen order, without overlaps, all inside `rows`.
std::vector<PlacedPart> PlanLayout(int rows);
