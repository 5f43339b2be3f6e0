// The web source against a local HTTP server that drops connections on request: a file comes
// out whole whether the server resumes a range or sends everything again, and a connection
// that keeps breaking ends in a failure that says so.
#include "tools/dar3play/net/url_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "tests/support/background_process.h"
#include "tests/support/tool_runner.h"

namespace {

class UrlSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_.resize(200 * 1000);
    std::mt19937 random(7);
    for (uint8_t& byte : file_) byte = uint8_t(random());
    ASSERT_TRUE(test_support::WriteFileBytes(scratch_ / "data.bin", file_.data(), file_.size()));
    server_ = std::make_unique<BackgroundProcess>("exec python3 " + Quote(WEB_FILE_SERVER) + " " +
                                                  Quote(scratch_.path().string()));
    std::string port;
    ASSERT_TRUE(server_->ReadLine(&port, std::chrono::seconds(10))) << "the test server did not start";
    base_ = "http://127.0.0.1:" + port + "/";
  }

  // Everything the source gives, in reads of an awkward size; *failure gets a read's error.
  std::vector<uint8_t> ReadAll(UrlSource* source, std::string* failure) {
    std::vector<uint8_t> all;
    uint8_t block[10007];
    for (;;) {
      const long got = source->Read(block, sizeof block, stop_, failure);
      if (got <= 0) break;
      all.insert(all.end(), block, block + got);
    }
    return all;
  }

  std::vector<uint8_t> file_;
  ScratchDir scratch_;
  std::unique_ptr<BackgroundProcess> server_;
  std::string base_;
  std::atomic<bool> stop_{false};
};

TEST_F(UrlSourceTest, AFileComesWholeThroughDropsWithAndWithoutRanges) {
  for (const std::string query : {"", "?drop=70000&once=1", "?drop=70000&once=1&range=0"}) {
    auto notes = std::make_shared<StreamNotes>();
    std::string why;
    std::unique_ptr<UrlSource> source = UrlSource::Open(base_ + "data.bin" + query, notes, &why);
    ASSERT_TRUE(source) << why;
    std::string failure;
    EXPECT_TRUE(ReadAll(source.get(), &failure) == file_) << query;
    EXPECT_EQ(failure, "") << query;
    EXPECT_EQ(notes->Get().news, query.empty() ? "" : "reconnected") << query;
    EXPECT_EQ(notes->Get().station, "");
  }
}

TEST_F(UrlSourceTest, AConnectionThatKeepsBreakingEndsInAFailureAfterWhatCame) {
  // Without ranges every new connection starts again from the top and breaks before bringing
  // anything new: after the tries the source gives up, having handed out what it had.
  auto notes = std::make_shared<StreamNotes>();
  std::string why;
  const std::string url = base_ + "data.bin?drop=50000&range=0";
  std::unique_ptr<UrlSource> source = UrlSource::Open(url, notes, &why);
  ASSERT_TRUE(source) << why;
  std::string failure;
  const std::vector<uint8_t> got = ReadAll(source.get(), &failure);
  ASSERT_EQ(got.size(), 50000u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), file_.begin()));
  EXPECT_EQ(failure, url + ": connection lost and not restored (it kept breaking off)");
  EXPECT_EQ(notes->Get().news, "connection lost; not restored");
}

TEST_F(UrlSourceTest, FailuresToConnectAreToldInPlainWords) {
  auto notes = std::make_shared<StreamNotes>();
  std::string why;
  EXPECT_FALSE(UrlSource::Open(base_ + "missing.mp3", notes, &why));
  EXPECT_EQ(why, base_ + "missing.mp3: the server answered HTTP 404 Not Found");
  const std::string refused = "http://127.0.0.1:" + std::to_string(FreeTcpPort()) + "/x.mp3";
  EXPECT_FALSE(UrlSource::Open(refused, notes, &why));
  EXPECT_EQ(why, refused + ": the server refused the connection (nothing listens there)");
  // TLS spoken to a plain HTTP server fails in the handshake.
  const std::string tls = "https" + base_.substr(4) + "data.bin";
  EXPECT_FALSE(UrlSource::Open(tls, notes, &why));
  EXPECT_EQ(why.rfind(tls + ": the secure (TLS) connection failed", 0), 0u) << why;
  EXPECT_FALSE(UrlSource::Open("http://no-such-host.invalid/x.mp3", notes, &why));
  EXPECT_EQ(why.rfind("http://no-such-host.invalid/x.mp3: unknown host", 0), 0u) << why;
  // Other schemes reached by a redirection, or malformed addresses, are refused too.
  EXPECT_FALSE(UrlSource::Open("http://[::1/x.mp3", notes, &why));
  EXPECT_EQ(why, "http://[::1/x.mp3: not a valid web address");
}

}  // namespace
