// The record of why a run ended: the first cause asked for wins, else the run's own.
#include <gtest/gtest.h>

#include "mp3/player/stop_reason.h"

TEST(StopReasonRecord, TheFirstCauseAskedForWinsOverTheRunsOwn) {
  StopReasonRecord record;
  EXPECT_EQ(record.Last(), MP3_STOP_REASON_NONE);
  record.BeginRun();
  record.Publish();
  EXPECT_EQ(record.Last(), MP3_STOP_REASON_SONG_ENDED) << "not asked: the song ended";

  record.BeginRun();
  record.Ask(MP3_STOP_REASON_SEEK);
  record.Ask(MP3_STOP_REASON_STOP);  // Seek's own Stop
  record.EndedBy(MP3_STOP_REASON_DECODING_ERROR);
  record.Publish();
  EXPECT_EQ(record.Last(), MP3_STOP_REASON_SEEK);

  record.BeginRun();
  record.EndedBy(MP3_STOP_REASON_FORMAT_CHANGE);
  record.Publish();
  EXPECT_EQ(record.Last(), MP3_STOP_REASON_FORMAT_CHANGE);
}

TEST(StopReasonRecord, ANewRunForgetsWhatWasAskedOfTheLastOne) {
  StopReasonRecord record;
  record.BeginRun();
  record.Publish();
  record.Ask(MP3_STOP_REASON_CLOSE);  // too late for the run that already ended
  record.BeginRun();
  record.Publish();
  EXPECT_EQ(record.Last(), MP3_STOP_REASON_SONG_ENDED);
}
