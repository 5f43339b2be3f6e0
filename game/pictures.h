#pragma once
// Loading the game's pictures through the one shared LoadedBitmap record.
#include "display/bitmap.h"
#include "sprites/sprite.h"

constexpr int SCREEN_PICTURE_WIDTH = 640;
constexpr int SCREEN_PICTURE_HEIGHT = 480;

// A 640 x 480 picture read in pixel mode from (0, 0). False when the file cannot be read; the
// image is then left without pixels and draws nothing.
bool LoadScreenPicture(BitmapImage* image, const char* name);
// Cells 0..cells-1 of row 0 of the file into frames first_frame.. of the sprite.
bool LoadSpriteCells(Sprite* sprite, const char* name, int first_frame, int cells);
// The palette of the file read last.
void UseLoadedPalette();
// Limits the back surface's drawing to the screen (kept in back_clipper).
void ClipBackSurfaceToScreen();
