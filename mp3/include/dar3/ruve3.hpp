// libdar3: the player's abstract interface. The 52 operations keep their fixed slot order;
// each returns 1 for success and 0 for failure (GetError tells why), unless noted.
#ifndef DAR3_RUVE3_HPP
#define DAR3_RUVE3_HPP

#include "dar3.h"

class RUVe3 {
 public:
  /* 0 */ virtual int GetVersion() = 0;
  /* 1 */ virtual const char* GetError() = 0;
  /* 2 */ virtual int EnumerateWaveOut() = 0;  // device count, 0 on failure
  /* 3 */ virtual int GetWaveOutInfo(unsigned int index, WAVE_OUT_INFO* info) = 0;
  /* 4 */ virtual int SetWaveOutDevice(unsigned int index) = 0;
  /* 5 */ virtual int OpenFile(const char* name, int buffer_ms, unsigned int offset, unsigned int size) = 0;
  /* 6 */ virtual int OpenStream(int buffered, int managed, const void* data, unsigned int size, int buffer_ms) = 0;
  /* 7 */ virtual int PushDataToStream(const void* data, unsigned int size) = 0;
  /* 8 */ virtual int IsStreamDataFree(const void* data) = 0;
  /* 9 */ virtual int GetStreamLoad(STREAM_LOAD_INFO* load) = 0;
  /* 10 */ virtual int OpenResource(void* module, const char* res_name, const char* res_type, int buffer_ms,
                                    unsigned int offset, unsigned int size) = 0;
  /* 11 */ virtual int Close() = 0;
  /* 12 */ virtual int Play() = 0;
  /* 13 */ virtual int PlayLoop(int start_format, MP3_TIME* start, int end_format, MP3_TIME* end, int repeat_count) = 0;
  /* 14 */ virtual int Seek(int format, MP3_TIME* time, int move_method) = 0;
  /* 15 */ virtual int ReverseMode(int enable) = 0;
  /* 16 */ virtual int Stop() = 0;
  /* 17 */ virtual int Pause() = 0;
  /* 18 */ virtual int Resume() = 0;
  /* 19 */ virtual int GetPosition(MP3_TIME* time) = 0;
  /* 20 */ virtual int InternalVolume(int enable) = 0;
  /* 21 */ virtual int SetVolume(unsigned int left, unsigned int right) = 0;
  /* 22 */ virtual int SetMasterVolume(unsigned int left, unsigned int right) = 0;
  /* 23 */ virtual int SetPlayerVolume(unsigned int left, unsigned int right) = 0;
  /* 24 */ virtual int GetVolume(int* left, int* right) = 0;
  /* 25 */ virtual int GetMasterVolume(int* left, int* right) = 0;
  /* 26 */ virtual int GetPlayerVolume(int* left, int* right) = 0;
  /* 27 */ virtual int GetMp3Info(MP3_STREAM_INFO* info) = 0;
  /* 28 */ virtual int GetSongLength(MP3_TIME* length) = 0;
  /* 29 */ virtual int GetBitrate(int average) = 0;  // kbit/s
  /* 30 */ virtual int GetStatus(MP3_STATUS* status) = 0;
  /* 31 */ virtual int MixChannels(int enable, unsigned int left_percent, unsigned int right_percent) = 0;
  /* 32 */ virtual int GetVUData(unsigned int* left, unsigned int* right) = 0;
  /* 33 */ virtual int VocalCut(int enable) = 0;
  /* 34 */ virtual int FadeVolume(int mode, int format, MP3_TIME* time) = 0;
  /* 35 */ virtual int FadeVolumeEx(int mode, int format, MP3_TIME* time) = 0;
  /* 36 */ virtual int EnableEQ(int enable, int fft_eq) = 0;
  /* 37 */ virtual int CreateEqBands(const int* edge_freqs, int edge_count) = 0;
  /* 38 */ virtual int GetEqBands(int* edge_freqs) = 0;  // edge count
  /* 39 */ virtual int SetEQParam(int fft_eq, int preamp, const int* gains, int gain_count) = 0;
  /* 40 */ virtual int SetEQParamEx(int fft_eq, int preamp, const int* gains, int gain_count) = 0;
  /* 41 */ virtual int GetEQParam(int fft_eq, int* preamp, int* gains) = 0;    // band count
  /* 42 */ virtual int GetEQParamEx(int fft_eq, int* preamp, int* gains) = 0;  // band count
  /* 43 */ virtual int LoadID3(int tag_version, MP3_ID3_FIELDS* fields) = 0;
  /* 44 */ virtual int SetSfxParam(int enable, int mode, int delay_ms, int input_gain, int echo_gain,
                                   int output_gain) = 0;
  /* 45 */ virtual int GetSfxParam(int* mode, int* delay_ms, int* input_gain, int* echo_gain, int* output_gain) = 0;
  /* 46 */ virtual int SetSfxModeData(int mode, const int* left, const int* right, int weight_count) = 0;
  /* 47 */ virtual int GetSfxModeData(int mode, int* left, int* right) = 0;  // 20
  /* 48 */ virtual void Release() = 0;                                       // destroys the player
  /* 49 */ virtual int SetCallbackFunc(MP3_CALLBACK_FUNC callback, unsigned int message_mask) = 0;
  /* 50 */ virtual int GetFFTValues(FFT_STRUCT* fft) = 0;
  /* 51 */ virtual int OpenFileW(const wchar_t* name, int buffer_ms, unsigned int offset, unsigned int size) = 0;

 protected:
  // Players are destroyed through Release (or Mp3_Destroy), never by delete on the interface.
  ~RUVe3() = default;
};

#endif  // DAR3_RUVE3_HPP
