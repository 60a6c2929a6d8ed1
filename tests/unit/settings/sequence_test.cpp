// Sending one text after the other.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/sequence.h"

namespace {

struct Recorder {
  std::vector<std::string> sent;
  std::vector<std::function<void()>> pending;  // onSent callbacks not yet run
  bool immediate = false;

  settings::SendSequence::SendFunction Function() {
    return [this](const std::string& text, std::function<void()> onSent) {
      sent.push_back(text);
      if (immediate) {
        onSent();
      } else {
        pending.push_back(std::move(onSent));
      }
    };
  }
  void Release() {
    auto callbacks = std::move(pending);
    pending.clear();
    for (auto& c : callbacks) c();
  }
};

TEST(SettingsSequence, NextLeavesOnlyWhenThePreviousHasLeft) {
  Recorder r;
  int progress = 0;
  int done = 0;
  auto s = settings::SendSequence::Create(r.Function());
  s->onProgress = [&] { ++progress; };
  s->onDone = [&] { ++done; };
  s->Append({"a", "b", "c"});
  EXPECT_EQ(r.sent, (std::vector<std::string>{"a"}));
  r.Release();
  EXPECT_EQ(r.sent.size(), 2u);
  EXPECT_EQ(s->Sent(), 1);
  s->Append({"d"});  // joins the end
  r.Release();
  r.Release();
  EXPECT_EQ(done, 0);
  r.Release();
  EXPECT_EQ(r.sent, (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(progress, 4);
  EXPECT_EQ(done, 1);
  EXPECT_TRUE(s->Done());
}

TEST(SettingsSequence, ImmediateSendsRunInALoop) {
  Recorder r;
  r.immediate = true;
  int done = 0;
  auto s = settings::SendSequence::Create(r.Function());
  s->onDone = [&] { ++done; };
  std::vector<std::string> many(20000, "x");  // deep recursion would overflow the stack
  s->Append(many);
  EXPECT_EQ(r.sent.size(), many.size());
  EXPECT_EQ(done, 1);

  auto empty = settings::SendSequence::Create(r.Function());
  int emptyDone = 0;
  empty->onDone = [&] { ++emptyDone; };
  empty->Append({});
  EXPECT_EQ(emptyDone, 1);
}

TEST(SettingsSequence, CancelStopsEvenASendUnderWay) {
  Recorder r;
  int progress = 0;
  auto s = settings::SendSequence::Create(r.Function());
  s->onProgress = [&] { ++progress; };
  s->Append({"a", "b"});
  s->Cancel();
  r.Release();
  EXPECT_EQ(r.sent.size(), 1u);
  EXPECT_EQ(progress, 0);
}

TEST(SettingsSequence, APendingSendKeepsAnUnownedSequenceAlive) {
  Recorder r;
  int done = 0;
  {
    auto s = settings::SendSequence::Create(r.Function());
    s->onDone = [&] { ++done; };
    s->Append({"a", "b"});
  }
  r.Release();
  r.Release();
  EXPECT_EQ(r.sent.size(), 2u);
  EXPECT_EQ(done, 1);
  // A send that is dropped unrun frees it (checked by the sanitizer build).
  {
    auto s = settings::SendSequence::Create(r.Function());
    s->Append({"c", "d"});
  }
  r.pending.clear();
}

}  // namespace
