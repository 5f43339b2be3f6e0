// The 256-entry palette: the platform palette, its shadow copy, the palette text file,
// rotation and blinking colours.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "display/display.h"

namespace {
bool ValidIndex(int32_t index) { return index >= 0 && index < 256; }

// Reads one "%d" the way fscanf does; out of int range saturates like strtol. False at the end
// of the file or on anything that is not a number (which ends the reading, as fscanf would).
bool ReadNumber(FILE* file, long* value) {
  int c;
  do c = std::fgetc(file);
  while (c != EOF && std::isspace(c));
  if (c == EOF) return false;
  char text[32];
  size_t length = 0;
  if (c == '-' || c == '+') {
    text[length++] = static_cast<char>(c);
    c = std::fgetc(file);
  }
  bool any_digit = false;
  while (c != EOF && std::isdigit(c)) {
    if (length < sizeof(text) - 1) text[length++] = static_cast<char>(c);
    any_digit = true;
    c = std::fgetc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  if (!any_digit) return false;
  text[length] = 0;
  *value = std::strtol(text, nullptr, 10);
  return true;
}
}  // namespace

int SetPaletteEntry(int32_t index, const PALETTEENTRY* entry) {
  if (!ValidIndex(index) || !entry) return 1;
  if (display_palette) display_palette->SetEntries(index, 1, entry);
  shadow_palette[index] = *entry;
  return 1;
}

int GetPaletteEntry(int32_t index, PALETTEENTRY* entry) {
  if (ValidIndex(index) && entry) *entry = shadow_palette[index];
  return 1;
}

int SetDisplayPalette(const PALETTEENTRY* entries) {
  if (!entries) return 1;
  std::memcpy(shadow_palette, entries, sizeof(shadow_palette));
  if (display_palette) display_palette->SetEntries(0, 256, shadow_palette);
  return 1;
}

int GetDisplayPalette(PALETTEENTRY* entries) {
  if (entries) std::memcpy(entries, shadow_palette, sizeof(shadow_palette));
  return 1;
}

int RotatePalette(int32_t first, int32_t last) {
  if (!display_palette || !ValidIndex(first) || !ValidIndex(last) || last < first) return 1;
  int count = last - first + 1;
  PALETTEENTRY work[256];
  display_palette->GetEntries(first, count, work);
  display_palette->SetEntries(first + 1, count - 1, work);
  display_palette->SetEntries(first, 1, &work[count - 1]);
  display_palette->GetEntries(0, 256, shadow_palette);
  return 1;
}

int LoadPaletteFile(const char* name, PALETTEENTRY* entries) {
  if (!name || !entries) return 0;
  FILE* file = std::fopen(name, "r");
  if (!file) return 0;
  bool reading = true;
  for (int i = 0; i < 256 && reading; ++i) {
    uint8_t* bytes[4] = {&entries[i].red, &entries[i].green, &entries[i].blue, &entries[i].flags};
    for (uint8_t* byte : bytes) {
      long value;
      if (!ReadNumber(file, &value)) {
        reading = false;
        break;
      }
      *byte = static_cast<uint8_t>(value & 0xFF);
    }
  }
  std::fclose(file);
  return 1;
}

int SavePaletteFile(const char* name, const PALETTEENTRY* entries) {
  if (!name || !entries) return 0;
  FILE* file = std::fopen(name, "w");
  if (!file) return 0;
  for (int i = 0; i < 256; ++i)
    std::fprintf(file, "\n%d %d %d %d", entries[i].red, entries[i].green, entries[i].blue, entries[i].flags);
  return std::fclose(file) == 0 ? 1 : 0;
}

int BlinkColor(int32_t command, BlinkRecord* record, int32_t slot) {
  static BlinkRecord table[256];
  static bool cleared = false;
  if (!cleared) {
    std::memset(table, 0, sizeof(table));
    cleared = true;
  }
  auto show = [](const BlinkRecord& blink, const PALETTEENTRY& color) {
    if (display_palette && ValidIndex(blink.color_index)) display_palette->SetEntries(blink.color_index, 1, &color);
  };
  switch (command) {
    case BLINKER_ADD:
      if (!record) return 1;
      for (int i = 0; i < 256; ++i) {
        if (table[i].phase != 0) continue;
        table[i] = *record;
        table[i].counter = 0;
        table[i].phase = -1;
        show(table[i], table[i].color_b);
        return i;
      }
      return 1;
    case BLINKER_DELETE:
      if (!ValidIndex(slot) || table[slot].phase == 0) return -1;
      std::memset(&table[slot], 0, sizeof(BlinkRecord));
      return slot;
    case BLINKER_UPDATE:
      if (!ValidIndex(slot) || table[slot].phase == 0 || !record) return -1;
      table[slot].color_a = record->color_a;
      table[slot].color_b = record->color_b;
      table[slot].ticks_a = record->ticks_a;
      table[slot].ticks_b = record->ticks_b;
      show(table[slot], table[slot].phase == -1 ? table[slot].color_b : table[slot].color_a);
      return slot;
    case BLINKER_RUN:
      for (BlinkRecord& blink : table) {
        if (blink.phase == 0) continue;
        ++blink.counter;
        int limit = blink.phase == -1 ? blink.ticks_b : blink.ticks_a;
        if (blink.counter >= limit) {
          blink.counter = 0;
          blink.phase = -blink.phase;
          show(blink, blink.phase == -1 ? blink.color_b : blink.color_a);
        }
      }
      return 1;
    default: return 1;
  }
}
