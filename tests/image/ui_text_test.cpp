// UiText: the core's texts in the user's language, once a front end has set a lookup.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "image/ui_text.h"

namespace velmira {
namespace {

struct LookupGuard {
  ~LookupGuard() { SetUiTextLookup({}); }
};

TEST(UiText, WithoutALookupTheKoreanIsTheText) {
  const char* korean = QT_TR_NOOP("레이어가 1개 밖에 없습니다");
  EXPECT_EQ(UiText(korean), korean);
  EXPECT_STREQ(UiText(nullptr), "");
}

TEST(UiText, ALookupAnswersOnceAndItsAnswersStayValid) {
  LookupGuard guard;
  int calls = 0;
  SetUiTextLookup([&calls](const char* k) -> std::string {
    ++calls;
    if (std::string(k) == "배경영상") return "Background";
    return {};  // unknown: keep the Korean
  });
  const char* first = UiText("배경영상");
  EXPECT_STREQ(first, "Background");
  EXPECT_EQ(UiText("배경영상"), first);  // cached: same pointer, no second lookup
  EXPECT_EQ(calls, 1);
  EXPECT_STREQ(UiText("이름없음"), "이름없음");

  // A new lookup answers afresh; a text handed out before stays readable.
  SetUiTextLookup([](const char*) -> std::string { return "背景"; });
  EXPECT_STREQ(UiText("배경영상"), "背景");
  EXPECT_STREQ(first, "Background");
  SetUiTextLookup({});
  EXPECT_STREQ(UiText("배경영상"), "배경영상");
}

TEST(UiText, ThreadsShareOneAnswer) {
  LookupGuard guard;
  SetUiTextLookup([](const char* k) -> std::string { return std::string("T:") + k; });
  std::vector<const char*> seen(8);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&seen, i] {
      for (int k = 0; k < 200; ++k) seen[size_t(i)] = UiText("사진변환완료");
    });
  for (auto& t : threads) t.join();
  for (const char* s : seen) EXPECT_EQ(s, seen[0]);
  EXPECT_STREQ(seen[0], "T:사진변환완료");
}

}  // namespace
}  // namespace velmira
