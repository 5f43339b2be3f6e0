#include "game/pictures.h"

#include "display/display.h"
#include "game/data_dir.h"
#include "game/world.h"

bool LoadScreenPicture(BitmapImage* image, const char* name) {
  // A second picture in the same image (both end screens in one frame) must not leak the
  // first, and a picture that fails to load must not leave the first one showing.
  if (image->pixels != nullptr) DestroyBitmapImage(image);
  if (!LoadBitmapFile(&LoadedBitmap, name)) {
    DataFileFailed(name);
    return false;
  }
  CreateBitmapImage(image, 0, 0, SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT, 8);
  const int copied = LoadBitmapImage(image, &LoadedBitmap, 0, 0, 1);
  UnloadBitmapFile(&LoadedBitmap);
  return copied != 0;
}

bool LoadSpriteCells(Sprite* sprite, const char* name, int first_frame, int cells) {
  if (!LoadBitmapFile(&LoadedBitmap, name)) {
    DataFileFailed(name);
    return false;
  }
  bool all = true;
  for (int k = 0; k < cells; ++k) all = LoadSpriteFrame(sprite, &LoadedBitmap, first_frame + k, k, 0, 0) && all;
  UnloadBitmapFile(&LoadedBitmap);
  return all;
}

void UseLoadedPalette() { SetDisplayPalette(LoadedBitmap.palette); }

void ClipBackSurfaceToScreen() {
  const RECT screen{0, 0, screen_width, screen_height};
  platform::Clipper* previous = back_clipper;
  back_clipper = AttachClipper(back_surface, 1, &screen);
  // The surface holds its own reference to the clipper in use; ours to the replaced one goes.
  if (back_clipper != nullptr && previous != nullptr && previous != back_clipper) previous->Release();
}
