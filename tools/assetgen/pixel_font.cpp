#include "tools/assetgen/pixel_font.h"

#include <cctype>

namespace assetgen {
namespace {

struct Glyph {
  char ch;
  const char* rows[kGlyphHeight];
};

constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {'&', {".##..", "#..#.", ".##..", ".#...", "#.#.#", "#..#.", ".##.#"}},
};

}  // namespace

bool GlyphPixel(char ch, int gx, int gy) {
  if (gx < 0 || gy < 0 || gx >= kGlyphWidth || gy >= kGlyphHeight) return false;
  char up = char(std::toupper(static_cast<unsigned char>(ch)));
  for (const Glyph& g : kGlyphs)
    if (g.ch == up) return g.rows[gy][gx] == '#';
  return false;
}

int TextWidth(std::string_view text, int scale, int spacing) {
  if (text.empty()) return 0;
  return int(text.size()) * (kGlyphWidth + spacing) * scale - spacing * scale;
}

void DrawText(IndexedImage& img, int x, int y, std::string_view text, int scale, uint8_t c, int spacing) {
  for (size_t i = 0; i < text.size(); ++i) {
    int ox = x + int(i) * (kGlyphWidth + spacing) * scale;
    for (int gy = 0; gy < kGlyphHeight; ++gy)
      for (int gx = 0; gx < kGlyphWidth; ++gx)
        if (GlyphPixel(text[i], gx, gy))
          img.FillRect(ox + gx * scale, y + gy * scale, ox + (gx + 1) * scale, y + (gy + 1) * scale, c);
  }
}

void DrawTitleText(IndexedImage& img, int x, int y, std::string_view text, int scale, pal::Ramp fill, uint8_t outline,
                   uint8_t shadow) {
  const int w = TextWidth(text, scale), h = kGlyphHeight * scale;
  IndexedImage mask(w, h, 0);
  DrawText(mask, 0, 0, text, scale, 1);
  const int border = scale / 3 + 1;
  auto near_mask = [&](int px, int py, int r) {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (dx * dx + dy * dy <= r * r + 1 && mask.At(px + dx, py + dy)) return true;
    return false;
  };
  const int shadow_offset = scale / 2 + 2;
  for (int py = -border; py < h + border; ++py)
    for (int px = -border; px < w + border; ++px)
      if (near_mask(px, py, border)) img.Set(x + px + shadow_offset, y + py + shadow_offset, shadow);
  for (int py = -border; py < h + border; ++py)
    for (int px = -border; px < w + border; ++px)
      if (near_mask(px, py, border)) img.Set(x + px, y + py, outline);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      if (!mask.At(px, py)) continue;
      // Bright top edge of each block row, ramp from light at the top to deep at the bottom.
      double t = 1.0 - double(py) / h;
      bool bevel = !mask.At(px, py - 1) || (py % scale) == 0;
      double v = bevel ? 1.0 : t * 0.85;
      double level = v * (fill.count - 1);
      int lo = int(level);
      img.Set(x + px, y + py, IndexedImage::Dither(x + px, y + py, level - lo, fill[lo], fill[lo + 1]));
    }
}

}  // namespace assetgen
