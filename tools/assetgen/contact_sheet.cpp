#include "tools/assetgen/contact_sheet.h"

#include <algorithm>

namespace assetgen {

IndexedImage FrameSheet(const std::vector<IndexedImage>& frames, int per_row, uint8_t key, uint8_t backdrop) {
  if (frames.empty()) return {};
  const int fw = frames[0].width(), fh = frames[0].height();
  const int rows = (int(frames.size()) + per_row - 1) / per_row;
  IndexedImage sheet(per_row * (fw + 2) + 2, rows * (fh + 2) + 2, pal::kGrey[9]);
  for (size_t i = 0; i < frames.size(); ++i) {
    int ox = 2 + int(i % per_row) * (fw + 2), oy = 2 + int(i / per_row) * (fh + 2);
    sheet.FillRect(ox, oy, ox + fw, oy + fh, backdrop);
    sheet.Blit(frames[i], ox, oy, key);
    if (fh == 74) sheet.HLine(ox, ox + fw - 1, oy + 68, pal::kGrey[5]);  // where the street begins
  }
  return sheet;
}

IndexedImage ScreenSheet(const std::vector<IndexedImage>& screens, int per_row, int shrink) {
  if (screens.empty()) return {};
  const int sw = screens[0].width() / shrink, sh = screens[0].height() / shrink;
  const int rows = (int(screens.size()) + per_row - 1) / per_row;
  IndexedImage sheet(per_row * (sw + 4) + 4, rows * (sh + 4) + 4, pal::kGrey[9]);
  for (size_t i = 0; i < screens.size(); ++i) {
    int ox = 4 + int(i % per_row) * (sw + 4), oy = 4 + int(i / per_row) * (sh + 4);
    for (int y = 0; y < sh; ++y)
      for (int x = 0; x < sw; ++x) sheet.Set(ox + x, oy + y, screens[i].At(x * shrink, y * shrink));
  }
  return sheet;
}

}  // namespace assetgen
