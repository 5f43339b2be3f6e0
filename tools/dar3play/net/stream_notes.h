// What a web stream tells while it plays: the station's name, the title on the air and news of
// its connection (a reconnect). The feeder thread writes them, the player's loop reads them.
#pragma once

#include <mutex>
#include <string>

class StreamNotes {
 public:
  struct Snapshot {
    std::string station;
    std::string title;
    std::string news;
    unsigned serial = 0;  // counts every change
  };

  void SetStation(const std::string& station) { Set(&Snapshot::station, station); }
  void SetTitle(const std::string& title) { Set(&Snapshot::title, title); }
  void SetNews(const std::string& news) { Set(&Snapshot::news, news); }
  Snapshot Get() const {
    std::lock_guard<std::mutex> hold(lock_);
    return now_;
  }

 private:
  void Set(std::string Snapshot::*field, const std::string& value) {
    std::lock_guard<std::mutex> hold(lock_);
    if (now_.*field == value) return;
    now_.*field = value;
    ++now_.serial;
  }

  mutable std::mutex lock_;
  Snapshot now_;
};
