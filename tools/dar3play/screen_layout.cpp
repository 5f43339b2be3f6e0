#include "tools/dar3play/screen_layout.h"

#include <algorithm>

namespace {

struct Candidate {
  ScreenPart part;
  int rows;
  int priority;  // lower stays longer
};

// In screen order; the spectrum's rows are what is left.
constexpr Candidate kFullScreen[] = {
    {ScreenPart::kHeader, 1, 8},   {ScreenPart::kTitle, 1, 1},
    {ScreenPart::kArtist, 1, 3},   {ScreenPart::kAlbum, 1, 4},
    {ScreenPart::kFormat, 1, 9},   {ScreenPart::kProgress, 1, 0},
    {ScreenPart::kVu, 2, 10},      {ScreenPart::kSpectrum, kMinSpectrumRows, 11},
    {ScreenPart::kSettings, 2, 6}, {ScreenPart::kStatus, 1, 2},
    {ScreenPart::kKeys, 2, 7},
};

}  // namespace

std::vector<PlacedPart> PlanLayout(int rows) {
  if (rows <= 0) return {};
  if (rows < 3) return {{ScreenPart::kTitleAndTime, 0, 1}};
  // Keep parts by priority while they fit.
  std::vector<Candidate> by_priority(std::begin(kFullScreen), std::end(kFullScreen));
  std::sort(by_priority.begin(), by_priority.end(),
            [](const Candidate& a, const Candidate& b) { return a.priority < b.priority; });
  std::vector<ScreenPart> kept;
  int used = 0;
  for (const Candidate& c : by_priority) {
    if (used + c.rows > rows) continue;
    used += c.rows;
    kept.push_back(c.part);
  }
  std::vector<PlacedPart> placed;
  int row = 0;
  for (const Candidate& c : kFullScreen) {
    if (std::find(kept.begin(), kept.end(), c.part) == kept.end()) continue;
    const int height = c.part == ScreenPart::kSpectrum ? c.rows + (rows - used) : c.rows;
    placed.push_back({c.part, row, height});
    row += height;
  }
  // Without a spectrum the spare rows go between the texts and the status, as a gap.
  if (row < rows) {
    for (PlacedPart& p : placed) {
      if (p.part == ScreenPart::kSettings || p.part == ScreenPart::kStatus || p.part == ScreenPart::kKeys)
        p.row += rows - row;
    }
  }
  return placed;
}
