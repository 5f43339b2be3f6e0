// Web addresses, on the command line and in lists: files from a local HTTP server decode as the
// files themselves do, also through a connection that drops; failures are told in plain words;
// a real Icecast radio stream fed by ezstream decodes as its file, with the ICY metadata out of
// the audio and the station and stream title shown.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/background_process.h"
#include "tests/support/encoded_files.h"
#include "tests/support/wait.h"
#include "tests/tools/dar3play/dar3play_runner.h"

namespace {

// The decode of one input as dar3play makes it, untrimmed: every sample is compared.
Wav Decode(const std::string& input, const ScratchDir& scratch, int* status, std::string* err = nullptr) {
  const auto out = scratch / "decode.wav";
  std::remove(out.c_str());
  const RunResult r = RunDar3play("--no-gapless --decode " + input + " " + Quote(out.string()));
  *status = r.status;
  if (err) *err = r.err;
  Wav wav;
  ReadWav(out, &wav);
  return wav;
}

class UrlInput : public EncodedFilesTest {
 protected:
  ScratchDir scratch_;
};

class WebFiles : public UrlInput {
 protected:
  void SetUp() override {
    UrlInput::SetUp();
    if (IsSkipped()) return;
    server_ = std::make_unique<BackgroundProcess>("exec python3 " + Quote(WEB_FILE_SERVER) + " " +
                                                  Quote(files_->dir.string()));
    std::string port;
    ASSERT_TRUE(server_->ReadLine(&port, std::chrono::seconds(10))) << "the test server did not start";
    base_ = "http://127.0.0.1:" + port + "/";
  }

  std::string Url(const std::filesystem::path& file, const std::string& query = {}) const {
    return base_ + file.filename().string() + query;
  }

  std::unique_ptr<BackgroundProcess> server_;
  std::string base_;
};

TEST_F(WebFiles, DecodeAsTheFilesDoAlsoThroughADroppedConnectionAndFromLists) {
  int status = -1;
  const Wav cbr = Decode(Quote(files_->cbr.string()), scratch_, &status);
  ASSERT_EQ(status, 0);
  const Wav vbr = Decode(Quote(files_->vbr.string()), scratch_, &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Decode(Url(files_->cbr), scratch_, &status).samples, cbr.samples);
  EXPECT_EQ(status, 0);
  // The connection breaks after 30000 bytes; the file resumes from there (or, where the
  // server ignores ranges, from the same byte of a whole new reply).
  std::string err;
  EXPECT_EQ(Decode(Quote(Url(files_->vbr, "?drop=30000&once=1")), scratch_, &status, &err).samples, vbr.samples);
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(Decode(Quote(Url(files_->cbr, "?drop=30000&once=1&range=0")), scratch_, &status, &err).samples,
            cbr.samples);
  EXPECT_EQ(status, 0) << err;
  // A list naming web addresses plays them back to back.
  const auto list = scratch_ / "web.m3u";
  std::ofstream(list) << "#EXTM3U\n#EXTINF:6,Night Falls\n" << Url(files_->cbr) << "\n" << Url(files_->cbr) << "\n";
  std::vector<int16_t> twice = cbr.samples;
  twice.insert(twice.end(), cbr.samples.begin(), cbr.samples.end());
  EXPECT_EQ(Decode(Quote(list.string()), scratch_, &status).samples, twice);
  EXPECT_EQ(status, 0);
}

TEST_F(WebFiles, FailuresAreToldInPlainWordsWithStatusOne) {
  const std::string missing = base_ + "missing.mp3";
  int status = -1;
  std::string err;
  const Wav nothing = Decode(Quote(missing), scratch_, &status, &err);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "dar3play: " + missing + ": the server answered HTTP 404 Not Found\n");
  EXPECT_FALSE(std::filesystem::exists(scratch_ / "decode.wav")) << "a failed decode leaves no file";
  // Playing: the message, and status 1 since nothing could be played.
  const std::string refused = "http://127.0.0.1:" + std::to_string(FreeTcpPort()) + "/song.mp3";
  const RunResult played = RunDar3play("--output null " + Quote(refused));
  EXPECT_EQ(played.status, 1);
  EXPECT_NE(played.err.find(refused + ": the server refused the connection"), std::string::npos) << played.err;
  // A connection that breaks off for good: what came is written, and the status says the rest is missing.
  const Wav cut = Decode(Quote(Url(files_->cbr, "?drop=40000&range=0")), scratch_, &status, &err);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("connection lost and not restored"), std::string::npos) << err;
  EXPECT_GT(cut.samples.size(), 0u);
}

TEST_F(WebFiles, ARadioStreamLosesItsMetadataAndShowsEachTitleWhenItIsHeard) {
  int status = -1;
  std::string err;
  const Wav file = Decode(Quote(files_->cbr.string()), scratch_, &status);
  ASSERT_EQ(status, 0);
  // The station sends the file once with a metadata block every 8192 bytes, then is gone: the
  // decode is the file's, whole, and the end of the broadcast is no failure.
  const Wav radio = Decode(Quote(Url(files_->cbr, "?icy=Test%20Radio&listener=1")), scratch_, &status, &err);
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(radio.samples, file.samples);
  // Both titles come with the first block read, yet each is shown when its part plays.
  const RunResult played = RunDar3play("--output null " + Quote(Url(files_->cbr, "?icy=Test%20Radio&listener=2")));
  EXPECT_EQ(played.status, 0) << played.err;
  const size_t first = played.out.find("Playing 1/1: First Song [Test Radio]\n");
  const size_t second = played.out.find("Playing 1/1: Second Song [Test Radio]\n");
  EXPECT_NE(first, std::string::npos) << played.out;
  EXPECT_NE(second, std::string::npos) << played.out;
  EXPECT_LT(first, second) << played.out;
  EXPECT_NE(played.out.find(": the stream has ended\n"), std::string::npos) << played.out;
}

TEST_F(WebFiles, ARadioSendingInRealTimeOpensOnItsFirstFrames) {
  // 4000 bytes a second: the first frames come within 2 s, where 64 KiB would take 16.
  const RunResult r = RunCommand("timeout 10 " + Quote(Dar3playPath()) + " --info " +
                                 Quote(Url(files_->cbr, "?icy=Slow%20Radio&pace=4000&endless=1")));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("station:     Slow Radio\n"), std::string::npos) << r.out;
}

TEST_F(WebFiles, ARadioWithoutEndIsDescribedAtOnceAndHasNoLength) {
  // The station never ends: --info reads its first frames only, and says so of the length.
  const std::string radio = Quote(Url(files_->cbr, "?icy=Test%20Radio&endless=1"));
  const RunResult text = RunCommand("timeout 30 " + Quote(Dar3playPath()) + " --info " + radio);
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("station:     Test Radio\non air:      First Song\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("format:      MPEG-1 Layer III, 44100 Hz, joint stereo, 128 kbit/s CBR\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("length:      unknown (a live stream)\n"), std::string::npos) << text.out;
  const RunResult json = RunCommand("timeout 30 " + Quote(Dar3playPath()) + " --info --json " + radio);
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"stream\": {\"station\": \"Test Radio\", \"title\": \"First Song\", \"live\": true, "
                          "\"size\": null},\n"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"length_ms\": null,\n"), std::string::npos) << json.out;
  // Playing, it has a time played but no length, though its first frames carry a LAME header.
  const RunResult remote = RunCommand("((sleep 2; echo status; echo quit) | JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " +
                                      Quote(Dar3playPath()) + " --remote --output null " + radio + ")");
  unsigned position_ms = 0, played_length_ms = 1;
  const size_t status_at = remote.out.find("status playing ");
  ASSERT_NE(status_at, std::string::npos) << remote.out << remote.err;
  ASSERT_EQ(std::sscanf(remote.out.c_str() + status_at, "status playing %u %u", &position_ms, &played_length_ms), 2);
  EXPECT_GT(position_ms, 0u);
  EXPECT_EQ(played_length_ms, 0u) << remote.out;
  // Its recording ends only when it is stopped, and then keeps what came.
  const auto recording = scratch_ / "radio.wav";
  const RunResult stopped = RunCommand(
      "(JED_HEADLESS=1 " + Quote(Dar3playPath()) + " --decode " + radio + " " + Quote(recording.string()) +
      " & pid=$!; for i in $(seq 100); do [ $(stat -c %s " + Quote(recording.string()) +
      " 2>/dev/null || echo 0) -gt 100000 ] && break; sleep 0.1; done; kill -INT $pid; wait $pid; echo status=$?)");
  EXPECT_EQ(stopped.out, "status=130\n") << stopped.err;
  EXPECT_NE(stopped.err.find("stopped; the live stream's recording so far is kept"), std::string::npos) << stopped.err;
  Wav kept;
  ASSERT_TRUE(ReadWav(recording, &kept));
  EXPECT_GT(kept.samples.size(), 20000u);

  // A file the server gives with its size: the length is estimated from it, near the file's own.
  const RunResult local = RunDar3play("--info --json " + Quote(files_->cbr.string()));
  const RunResult web = RunDar3play("--info --json " + Quote(Url(files_->cbr)));
  ASSERT_EQ(web.status, 0) << web.err;
  auto length_ms = [](const std::string& out) {
    const size_t at = out.find("\"length_ms\": ");
    return at == std::string::npos ? -1.0 : std::atof(out.c_str() + at + 13);
  };
  EXPECT_NEAR(length_ms(web.out), length_ms(local.out), length_ms(local.out) * 0.03) << web.out;
  EXPECT_NE(web.out.find("\"live\": false, \"size\": " + std::to_string(std::filesystem::file_size(files_->cbr))),
            std::string::npos)
      << web.out;
}

TEST_F(WebFiles, APasswordInTheAddressIsNeverShown) {
  const std::string secret = "http://jed:s3cret@" + base_.substr(7), shown = "http://jed:***@" + base_.substr(7);
  const std::string song = files_->cbr.filename().string();
  std::string all;  // everything any run printed
  auto keep = [&all](const RunResult& r) {
    all += r.out + r.err;
    return r;
  };
  auto run = [&keep](const std::string& arguments) { return keep(RunDar3play(arguments)); };
  const RunResult info = run("--info " + Quote(secret + song));
  EXPECT_NE(info.out.find("file:        " + shown + song + "\n"), std::string::npos) << info.out;
  const RunResult json = run("--info --json " + Quote(secret + song));
  EXPECT_NE(json.out.find("\"file\": \"" + shown + song + "\""), std::string::npos) << json.out;
  // The connection itself still uses it.
  EXPECT_EQ(run("--output null " + Quote(secret + song)).status, 0);
  // Failures, in every mode: the decode, a play with and without status lines, the remote protocol.
  const std::string missing = "missing.mp3: the server answered HTTP 404 Not Found";
  EXPECT_EQ(run("--info " + Quote(secret + "missing.mp3")).err, "dar3play: " + shown + missing + "\n");
  EXPECT_NE(run("--output null " + Quote(secret + "missing.mp3")).err.find(shown + missing), std::string::npos);
  EXPECT_NE(run("-q --output null " + Quote(secret + "missing.mp3")).err.find(shown + missing), std::string::npos);
  const RunResult remote =
      keep(RunCommand("(printf 'load %s\\nquit\\n' " + Quote(secret + "missing.mp3") +
                      " | JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath()) + " --remote --output null)"));
  EXPECT_NE(remote.out.find("error " + shown + missing), std::string::npos) << remote.out;
  int status = -1;
  std::string err;
  Decode(Quote(secret + song + "?drop=40000&range=0"), scratch_, &status, &err);
  all += err;
  EXPECT_NE(err.find(shown + song + "?drop=40000&range=0: connection lost and not restored"), std::string::npos) << err;
  EXPECT_EQ(all.find("s3cret"), std::string::npos) << all;
}

// Icecast's configuration for one test: a mount whose burst holds the whole song, so a
// listener that connects while the song is on the air gets it from its first byte.
std::string IcecastConfig(int port, const std::filesystem::path& dir) {
  const std::string owner = geteuid() == 0
                                // As root Icecast refuses to run unless it is told to drop to its own user.
                                ? "<changeowner><user>icecast2</user><group>icecast</group></changeowner>"
                                : "";
  return "<icecast><limits><sources>2</sources><queue-size>4194304</queue-size><burst-size>4194304</burst-size>"
         "</limits><authentication><source-password>source-pw</source-password><admin-user>admin</admin-user>"
         "<admin-password>admin-pw</admin-password></authentication><hostname>127.0.0.1</hostname>"
         "<listen-socket><port>" +
         std::to_string(port) +
         "</port><bind-address>127.0.0.1</bind-address></listen-socket>"
         "<mount><mount-name>/night.mp3</mount-name><stream-name>Night Radio</stream-name>"
         "<burst-size>4194304</burst-size></mount><paths><basedir>" +
         dir.string() + "</basedir><logdir>" + dir.string() +
         "</logdir><webroot>/usr/share/icecast2/web</webroot><adminroot>/usr/share/icecast2/admin</adminroot></paths>"
         "<logging><errorlog>error.log</errorlog><accesslog>access.log</accesslog><loglevel>2</loglevel></logging>"
         "<security><chroot>0</chroot>" +
         owner + "</security></icecast>\n";
}

std::string EzstreamConfig(int port, const std::filesystem::path& song) {
  return "<ezstream><servers><server><hostname>127.0.0.1</hostname><port>" + std::to_string(port) +
         "</port><password>source-pw</password></server></servers><streams><stream><mountpoint>/night.mp3"
         "</mountpoint><format>MP3</format></stream></streams><intakes><intake><type>file</type><filename>" +
         song.string() + "</filename><stream_once>Yes</stream_once></intake></intakes></ezstream>\n";
}

TEST_F(UrlInput, ARadioStreamDecodesAsItsFileAndShowsItsStationAndTitle) {
  if (RunCommand("(command -v icecast2 && command -v ezstream)").status != 0)
    GTEST_SKIP() << "icecast2 or ezstream is not installed (deps.sh installs both)";
  // Icecast, dropped to its own user when run as root, writes its logs here.
  ASSERT_EQ(chmod(scratch_.path().c_str(), 0777), 0);
  const int port = FreeTcpPort();
  const auto icecast_xml = scratch_ / "icecast.xml", ezstream_xml = scratch_ / "ezstream.xml";
  std::ofstream(icecast_xml) << IcecastConfig(port, scratch_.path());
  std::ofstream(ezstream_xml) << EzstreamConfig(port, files_->cbr);
  // ezstream refuses a configuration others may read: it holds the password.
  ASSERT_EQ(chmod(ezstream_xml.c_str(), 0600), 0);
  BackgroundProcess icecast("exec icecast2 -c " + Quote(icecast_xml.string()), (scratch_ / "icecast.out").string());
  ASSERT_TRUE(WaitForTcpPort(port, std::chrono::seconds(10)))
      << "Icecast did not start: " << test_support::ReadFileText(scratch_ / "icecast.out")
      << test_support::ReadFileText(scratch_ / "error.log");
  BackgroundProcess ezstream("exec ezstream -c " + Quote(ezstream_xml.string()), (scratch_ / "ezstream.out").string());
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/night.mp3";
  // The mount point exists once ezstream is on the air; the listeners must come before the
  // song's six seconds are over.
  const bool on_air = test_support::WaitUntil([port] { return HttpGetStatus(port, "/night.mp3") == 200; },
                                              std::chrono::seconds(10), std::chrono::milliseconds(20));
  ASSERT_TRUE(on_air) << test_support::ReadFileText(scratch_ / "ezstream.out");

  // Three listeners at once while the song is on the air: a decode, the line-a-track mode and
  // the remote protocol, whose frontend asks for the status once the title was told.
  const auto live_wav = scratch_ / "live.wav";
  const std::string remote_txt = Quote((scratch_ / "remote.txt").string());
  const std::string d3 = "JED_HEADLESS=1 SDL_AUDIODRIVER=dummy " + Quote(Dar3playPath());
  const std::string frontend = "(for i in $(seq 100); do grep -q 'notice title' " + remote_txt +
                               " && break; sleep 0.1; done; echo status; echo quit)";
  const RunResult r =
      RunCommand("((" + d3 + " --no-gapless --decode " + Quote(url) + " " + Quote(live_wav.string()) +
                 "; echo decode=$?) & (" + frontend + " | " + d3 + " --remote --output null " + Quote(url) + " > " +
                 remote_txt + ") & " + d3 + " --output null " + Quote(url) + "; echo play=$?; wait)");
  EXPECT_NE(r.out.find("decode=0"), std::string::npos) << r.out << r.err;
  EXPECT_NE(r.out.find("play=0"), std::string::npos) << r.out << r.err;
  EXPECT_NE(r.out.find("Playing 1/1: Jed Band - Night Falls [Night Radio]\n"), std::string::npos) << r.out;
  const std::string remote = test_support::ReadFileText(scratch_ / "remote.txt");
  EXPECT_NE(remote.find("notice station Night Radio\n"), std::string::npos) << remote;
  EXPECT_NE(remote.find("notice title Jed Band - Night Falls\n"), std::string::npos) << remote;
  EXPECT_NE(remote.find("status playing "), std::string::npos) << remote;
  EXPECT_NE(remote.find(" 1/1 Jed Band - Night Falls\n"), std::string::npos) << remote;

  // The PCM is the file's: the metadata blocks are out of the audio. The source sends whole
  // frames only, so the stream may lack the file's last frame.
  int status = -1;
  const Wav file = Decode(Quote(files_->cbr.string()), scratch_, &status);
  Wav live;
  ASSERT_TRUE(ReadWav(live_wav, &live));
  constexpr size_t kFrameSamples = 1152 * 2;
  ASSERT_LE(live.samples.size(), file.samples.size());
  EXPECT_GE(live.samples.size() + kFrameSamples, file.samples.size());
  EXPECT_TRUE(std::equal(live.samples.begin(), live.samples.end(), file.samples.begin()))
      << "the stream's PCM differs from the file's";
}

}  // namespace
