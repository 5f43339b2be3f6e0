// One comment of an ID3v2 tag found by its description (iTunes keeps its gapless figures in
// the comment "iTunSMPB").
#include "mp3/id3/frames.h"
#include "mp3/id3/tag_readers.h"

namespace id3 {

namespace {

class CommentFinder : public FrameVisitor {
 public:
  explicit CommentFinder(std::string_view description) : description_(description) {}
  bool Wants(std::string_view id, int major_version) override {
    return !found_ && id == (major_version == 2 ? "COM" : "COMM");
  }
  void Visit(std::string_view, int, std::span<const uint8_t> body) override {
    // encoding, language (3), description, text
    DescribedText comment = ReadDescribedText(body, 4);
    if (comment.description != description_) return;
    text_ = std::move(comment.text);
    found_ = true;
  }
  const std::string& text() const { return text_; }

 private:
  std::string_view description_;
  std::string text_;
  bool found_ = false;
};

}  // namespace

std::string CommentText(std::span<const uint8_t> source, std::string_view description) {
  CommentFinder finder(description);
  WalkId3v2(source, finder);
  return finder.text();
}

}  // namespace id3
