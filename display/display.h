#pragma once
// The page-flipped display: globals, surfaces, clippers, flip, fills, locks and the palette.
#include <cstdint>

#include "platform/video.h"

using DisplaySurface = platform::Surface;
using PALETTEENTRY = platform::PaletteEntry;
using RECT = platform::Rect;

// Capability bits of CreateOffscreenSurface's memory_flags.
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x00004000;
constexpr uint8_t PC_EXPLICIT = 2;

// Display globals (initial values before DisplayInit).
extern int32_t screen_width;                                  // 640
extern int32_t screen_height;                                 // 480
extern int32_t screen_bpp;                                    // 8
extern int32_t pixel_format;                                  // 16
extern int32_t windowed;                                      // 0
extern int32_t clip_left, clip_top, clip_right, clip_bottom;  // 0, 0, 639, 479 (inclusive)
extern DisplaySurface* primary_surface;
extern DisplaySurface* back_surface;
extern platform::Display* display_object;
extern platform::Palette* display_palette;
extern platform::Clipper* back_clipper;
extern platform::Clipper* window_clipper;
extern uint8_t* primary_buffer;
extern uint8_t* back_buffer;
extern int32_t primary_pitch, back_pitch;
extern int32_t window_offset_x, window_offset_y;
extern uint16_t (*rgb16_packer)(uint32_t r, uint32_t g, uint32_t b);
extern PALETTEENTRY shadow_palette[256];

int DisplayInit(int32_t width, int32_t height, int32_t bpp, int32_t windowed_mode);
int DisplayShutdown();
DisplaySurface* CreateOffscreenSurface(int32_t width, int32_t height, uint32_t memory_flags, uint16_t color_key);
platform::Clipper* AttachClipper(DisplaySurface* surface, int32_t count, const RECT* rectangles);
int FlipDisplay();
int WaitForVsync();
int FillSurface(DisplaySurface* surface, int32_t color, const RECT* rectangle);
int FillRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t color, DisplaySurface* surface);
uint8_t* LockSurface(DisplaySurface* surface, int32_t* pitch);
int UnlockSurface(DisplaySurface* surface);
uint8_t* LockPrimarySurface();
int UnlockPrimarySurface();
uint8_t* LockBackSurface();
int UnlockBackSurface();

int SetPaletteEntry(int32_t index, const PALETTEENTRY* entry);
int GetPaletteEntry(int32_t index, PALETTEENTRY* entry);
int SetDisplayPalette(const PALETTEENTRY* entries);
int GetDisplayPalette(PALETTEENTRY* entries);
int RotatePalette(int32_t first, int32_t last);
int LoadPaletteFile(const char* name, PALETTEENTRY* entries);
int SavePaletteFile(const char* name, const PALETTEENTRY* entries);

// One blinking palette colour (seven 32-bit fields).
struct BlinkRecord {
  int32_t color_index;
  PALETTEENTRY color_a;
  PALETTEENTRY color_b;
  int32_t ticks_a;
  int32_t ticks_b;
  int32_t counter;
  int32_t phase;  // 0 free slot, -1 showing colour B, 1 showing colour A
};
constexpr int BLINKER_ADD = 0, BLINKER_DELETE = 1, BLINKER_UPDATE = 2, BLINKER_RUN = 3;
int BlinkColor(int32_t command, BlinkRecord* record, int32_t slot);

uint16_t PackRgb565(uint32_t r, uint32_t g, uint32_t b);
uint16_t PackRgb555(uint32_t r, uint32_t g, uint32_t b);
