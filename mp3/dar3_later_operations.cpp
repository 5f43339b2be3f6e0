// Operations whose features are not part of this build yet. Each holds its interface slot and
// fails with a message naming itself, so callers learn why instead of getting silence.
#include "mp3/dar3_player.h"

int DAr3::PlayLoop(int, MP3_TIME*, int, MP3_TIME*, int) { return NotAvailable("PlayLoop"); }
int DAr3::Seek(int, MP3_TIME*, int) { return NotAvailable("Seek"); }
int DAr3::ReverseMode(int) { return NotAvailable("ReverseMode"); }
int DAr3::GetPosition(MP3_TIME*) { return NotAvailable("GetPosition"); }
int DAr3::InternalVolume(int) { return NotAvailable("InternalVolume"); }
int DAr3::SetVolume(unsigned int, unsigned int) { return NotAvailable("SetVolume"); }
int DAr3::SetMasterVolume(unsigned int, unsigned int) { return NotAvailable("SetMasterVolume"); }
int DAr3::SetPlayerVolume(unsigned int, unsigned int) { return NotAvailable("SetPlayerVolume"); }
int DAr3::GetVolume(int*, int*) { return NotAvailable("GetVolume"); }
int DAr3::GetMasterVolume(int*, int*) { return NotAvailable("GetMasterVolume"); }
int DAr3::GetPlayerVolume(int*, int*) { return NotAvailable("GetPlayerVolume"); }
int DAr3::MixChannels(int, unsigned int, unsigned int) { return NotAvailable("MixChannels"); }
int DAr3::GetVUData(unsigned int*, unsigned int*) { return NotAvailable("GetVUData"); }
int DAr3::VocalCut(int) { return NotAvailable("VocalCut"); }
int DAr3::FadeVolume(int, int, MP3_TIME*) { return NotAvailable("FadeVolume"); }
int DAr3::FadeVolumeEx(int, int, MP3_TIME*) { return NotAvailable("FadeVolumeEx"); }
