// The flat C interface of libdar3: each function takes the player first, returns 0 for a null
// player and otherwise forwards to one operation of the interface.
#define DAR3_BUILDING 1
#include <cstring>
#include <new>

#include "mp3/player/dar3_player.h"

namespace {
DAr3* Player(MP3_HANDLE handle) { return static_cast<DAr3*>(handle); }

// Each call is counted while it runs (Destroy waits for it, and refuses new ones), and no
// exception leaves through the C interface: running out of memory is reported as such.
template <typename Call>
int Guarded(MP3_HANDLE handle, const char* function, Call call) {
  if (!handle) return 0;
  DAr3* player = Player(handle);
  const char* op = std::strncmp(function, "Mp3_", 4) == 0 ? function + 4 : function;
  if (!player->EnterCall(op)) return 0;
  int result = 0;
  try {
    result = call(player);
  } catch (const std::bad_alloc&) {
    player->SetErrorF("%s->Memory allocation error !", function);
  } catch (...) {
    player->SetErrorF("%s->Unexpected failure !", function);
  }
  player->LeaveCall();
  return result;
}
}  // namespace

#define FORWARD(call) return Guarded(player, __func__, [&](DAr3* p) { return p->call; })
// A command starts from an empty text: its failure sets its own, its success leaves none.
#define COMMAND(call)                             \
  return Guarded(player, __func__, [&](DAr3* p) { \
    p->SetError(nullptr);                         \
    return p->call;                               \
  })

extern "C" {

MP3_HANDLE CreateRUVe3(void) { return new (std::nothrow) DAr3; }
MP3_HANDLE Mp3_Initialize(void) { return CreateRUVe3(); }

// Not counted: it waits for the counted calls itself, and the player is gone when it returns.
int Mp3_Destroy(MP3_HANDLE player) {
  if (!player) return 0;
  Player(player)->Release();
  return 1;
}

// Also after Destroy began, so that a handler can read why its call failed.
int Mp3_GetError(MP3_HANDLE player, char* buffer, int buffer_size) {
  if (!player) return 0;
  return Player(player)->CopyError(buffer, buffer_size);
}

// Also after Destroy began: the STOP handler of the run Destroy ends reads its reason here.
int Mp3_GetStopReason(MP3_HANDLE player, int* reason) {
  if (!player) return 0;
  return Player(player)->GetStopReason(reason);
}

int Mp3_GetVersion(MP3_HANDLE player) { FORWARD(GetVersion()); }
int Mp3_OpenFile(MP3_HANDLE player, const char* name, int buffer_ms, unsigned int offset, unsigned int size) {
  COMMAND(OpenFile(name, buffer_ms, offset, size));
}
int Mp3_OpenFileW(MP3_HANDLE player, const wchar_t* name, int buffer_ms, unsigned int offset, unsigned int size) {
  COMMAND(OpenFileW(name, buffer_ms, offset, size));
}
int Mp3_OpenResource(MP3_HANDLE player, void* module, const char* res_name, const char* res_type, int buffer_ms,
                     unsigned int offset, unsigned int size) {
  COMMAND(OpenResource(module, res_name, res_type, buffer_ms, offset, size));
}
int Mp3_OpenStream(MP3_HANDLE player, int buffered, int managed, const void* data, unsigned int size, int buffer_ms) {
  COMMAND(OpenStream(buffered, managed, data, size, buffer_ms));
}
int Mp3_PushDataToStream(MP3_HANDLE player, const void* data, unsigned int size) {
  COMMAND(PushDataToStream(data, size));
}
int Mp3_IsStreamDataFree(MP3_HANDLE player, const void* data) { FORWARD(IsStreamDataFree(data)); }
int Mp3_GetStreamLoad(MP3_HANDLE player, STREAM_LOAD_INFO* load) { FORWARD(GetStreamLoad(load)); }
int Mp3_Close(MP3_HANDLE player) { COMMAND(Close()); }
int Mp3_Play(MP3_HANDLE player) { COMMAND(Play()); }
int Mp3_PlayLoop(MP3_HANDLE player, int start_format, MP3_TIME* start, int end_format, MP3_TIME* end,
                 int repeat_count) {
  COMMAND(PlayLoop(start_format, start, end_format, end, repeat_count));
}
int Mp3_Seek(MP3_HANDLE player, int format, MP3_TIME* time, int move_method) {
  COMMAND(Seek(format, time, move_method));
}
int Mp3_ReverseMode(MP3_HANDLE player, int enable) { COMMAND(ReverseMode(enable)); }
int Mp3_Stop(MP3_HANDLE player) { COMMAND(Stop()); }
int Mp3_Pause(MP3_HANDLE player) { COMMAND(Pause()); }
int Mp3_Resume(MP3_HANDLE player) { COMMAND(Resume()); }
int Mp3_GetPosition(MP3_HANDLE player, MP3_TIME* time) { FORWARD(GetPosition(time)); }
int Mp3_InternalVolume(MP3_HANDLE player, int enable) { COMMAND(InternalVolume(enable)); }
int Mp3_SetVolume(MP3_HANDLE player, unsigned int left, unsigned int right) { COMMAND(SetVolume(left, right)); }
int Mp3_SetMasterVolume(MP3_HANDLE player, unsigned int left, unsigned int right) {
  COMMAND(SetMasterVolume(left, right));
}
int Mp3_SetPlayerVolume(MP3_HANDLE player, unsigned int left, unsigned int right) {
  COMMAND(SetPlayerVolume(left, right));
}
int Mp3_GetVolume(MP3_HANDLE player, int* left, int* right) { FORWARD(GetVolume(left, right)); }
int Mp3_GetMasterVolume(MP3_HANDLE player, int* left, int* right) { FORWARD(GetMasterVolume(left, right)); }
int Mp3_GetPlayerVolume(MP3_HANDLE player, int* left, int* right) { FORWARD(GetPlayerVolume(left, right)); }
int Mp3_GetMp3Info(MP3_HANDLE player, MP3_STREAM_INFO* info) { FORWARD(GetMp3Info(info)); }
int Mp3_GetSongLength(MP3_HANDLE player, MP3_TIME* length) { FORWARD(GetSongLength(length)); }
int Mp3_GetBitrate(MP3_HANDLE player, int average) { FORWARD(GetBitrate(average)); }
int Mp3_GetStatus(MP3_HANDLE player, MP3_STATUS* status) { FORWARD(GetStatus(status)); }
int Mp3_MixChannels(MP3_HANDLE player, int enable, unsigned int left_percent, unsigned int right_percent) {
  COMMAND(MixChannels(enable, left_percent, right_percent));
}
int Mp3_GetVUData(MP3_HANDLE player, unsigned int* left, unsigned int* right) { FORWARD(GetVUData(left, right)); }
int Mp3_VocalCut(MP3_HANDLE player, int enable) { COMMAND(VocalCut(enable)); }
int Mp3_FadeVolume(MP3_HANDLE player, int mode, int format, MP3_TIME* time) { COMMAND(FadeVolume(mode, format, time)); }
int Mp3_FadeVolumeEx(MP3_HANDLE player, int mode, int format, MP3_TIME* time) {
  COMMAND(FadeVolumeEx(mode, format, time));
}
int Mp3_EnableEQ(MP3_HANDLE player, int enable, int fft_eq) { COMMAND(EnableEQ(enable, fft_eq)); }
int Mp3_CreateEqBands(MP3_HANDLE player, const int* edge_freqs, int edge_count) {
  COMMAND(CreateEqBands(edge_freqs, edge_count));
}
int Mp3_GetEqBands(MP3_HANDLE player, int* edge_freqs) { FORWARD(GetEqBands(edge_freqs)); }
int Mp3_SetEQParam(MP3_HANDLE player, int fft_eq, int preamp, const int* gains, int gain_count) {
  COMMAND(SetEQParam(fft_eq, preamp, gains, gain_count));
}
int Mp3_SetEQParamEx(MP3_HANDLE player, int fft_eq, int preamp, const int* gains, int gain_count) {
  COMMAND(SetEQParamEx(fft_eq, preamp, gains, gain_count));
}
int Mp3_GetEQParam(MP3_HANDLE player, int fft_eq, int* preamp, int* gains) {
  FORWARD(GetEQParam(fft_eq, preamp, gains));
}
int Mp3_GetEQParamEx(MP3_HANDLE player, int fft_eq, int* preamp, int* gains) {
  FORWARD(GetEQParamEx(fft_eq, preamp, gains));
}
int Mp3_LoadID3(MP3_HANDLE player, int tag_version, MP3_ID3_FIELDS* fields) { COMMAND(LoadID3(tag_version, fields)); }

int Mp3_GetID3Field(MP3_HANDLE player, int tag_version, int field_id, char* buffer, int buffer_size) {
  COMMAND(GetID3Field(tag_version, field_id, buffer, buffer_size));
}

int Mp3_SetSfxParam(MP3_HANDLE player, int enable, int mode, int delay_ms, int input_gain, int echo_gain,
                    int output_gain) {
  COMMAND(SetSfxParam(enable, mode, delay_ms, input_gain, echo_gain, output_gain));
}
int Mp3_GetSfxParam(MP3_HANDLE player, int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain) {
  FORWARD(GetSfxParam(mode, delay_ms, input_gain, echo_gain, output_gain));
}
int Mp3_SetSfxModeData(MP3_HANDLE player, int mode, const int* left, const int* right, int weight_count) {
  COMMAND(SetSfxModeData(mode, left, right, weight_count));
}
int Mp3_GetSfxModeData(MP3_HANDLE player, int mode, int* left, int* right) {
  FORWARD(GetSfxModeData(mode, left, right));
}
int Mp3_SetCallbackFunc(MP3_HANDLE player, MP3_CALLBACK_FUNC callback, unsigned int message_mask) {
  COMMAND(SetCallbackFunc(callback, message_mask));
}

int Mp3_GetFFTValues(MP3_HANDLE player, int fft_points, int window_type, int fft_flags, int* harmonic_count,
                     int* harmonic_freqs, int* left_amplitudes, int* right_amplitudes, int* left_phases,
                     int* right_phases) {
  if (!player) return 0;
  const dsp::SpectrumQuery q = dsp::SpectrumQueryFromFlags(
      fft_points, window_type, fft_flags, harmonic_freqs, left_amplitudes, right_amplitudes, left_phases, right_phases);
  FFT_STRUCT fft{q.fft_points,  q.window_type, 0, q.harmonic_freqs, q.left_amplitudes, q.right_amplitudes,
                 q.left_phases, q.right_phases};
  const int result = Guarded(player, __func__, [&](DAr3* p) { return p->GetFFTValues(&fft); });
  if ((fft_flags & FFT_OUT_HARMONIC_COUNT) && harmonic_count) *harmonic_count = fft.harmonic_count;
  return result;
}

int Mp3_SetGapless(MP3_HANDLE player, int enable) { COMMAND(SetGapless(enable)); }
int Mp3_EnumerateWaveOut(MP3_HANDLE player) { FORWARD(EnumerateWaveOut()); }
int Mp3_GetWaveOutInfo(MP3_HANDLE player, unsigned int index, WAVE_OUT_INFO* info) {
  FORWARD(GetWaveOutInfo(index, info));
}
int Mp3_SetWaveOutDevice(MP3_HANDLE player, unsigned int index) { COMMAND(SetWaveOutDevice(index)); }

}  // extern "C"
