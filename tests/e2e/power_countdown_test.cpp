// Restart and shut-down from the Windows tab: a learned code shows the
// countdown window (TForm6) on top of everything, which counts five seconds
// down; a second press of restart or shut-down cancels it, and a countdown
// left to run out ends the Windows session.
//
// Under Wine, ExitWindowsEx (restart and shut-down alike) ends the session's
// programs that own windows (the program itself and a witness with a
// window); windowless programs, this test program among them, go on, the
// wineserver stays and the prefix can start programs afterwards. Nothing
// outside the Wine session is touched. These tests run only under Wine: on a
// real PC they would restart or shut it down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kWindowsState = 21;
constexpr int kRestartSlot = 28;
constexpr int kShutDownSlot = 29;
constexpr int kRestartCode = 2801;
constexpr int kShutDownCode = 2901;

constexpr wchar_t kCancelLine[] = L"Recliquez sur le même bouton pour annuler...";

std::wstring RestartLine(int seconds) {
  return L"Redémarrage du PC dans " + std::to_wstring(seconds) + L" secondes";
}
std::wstring ShutDownLine(int seconds) {
  return L"Arrêt du PC dans " + std::to_wstring(seconds) + L" secondes";
}

// Every text a window of another process shows, in order, as a thread of its
// own sees it: a text that stays a second is not missed by a test that is
// busy elsewhere.
class TextLog {
 public:
  explicit TextLog(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~TextLog() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    thread_.join();
  }
  TextLog(const TextLog&) = delete;
  TextLog& operator=(const TextLog&) = delete;

  // The texts seen so far, the empty text left out.
  std::vector<std::wstring> Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
  }
  bool WaitFor(const std::wstring& text, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
          auto seen = Texts();
          return std::find(seen.begin(), seen.end(), text) != seen.end();
        },
        timeout, 10ms);
  }

 private:
  void Run() {
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (stop_) return;
      }
      // A window that is gone reads as empty: only texts read from a live
      // window count.
      if (IsWindow(window_)) {
        std::wstring text = WindowText(window_);
        if (!text.empty() && IsWindow(window_)) {
          std::lock_guard lock(mutex_);
          if (texts_.empty() || texts_.back() != text) texts_.push_back(text);
        }
      }
      Sleep(10);
    }
  }

  HWND window_;
  mutable std::mutex mutex_;
  std::vector<std::wstring> texts_;
  bool stop_ = false;
  std::thread thread_;
};

std::string Join(const std::vector<std::wstring>& texts) {
  std::string out;
  for (const auto& text : texts) out += "\n  \"" + ToUtf8(text) + "\"";
  return out;
}

class PowerCountdown : public RemoteControlTest {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "would restart or shut down this PC: runs under Wine only";
    RemoteControlTest::SetUp();
  }

  // The Windows tab on, with the restart and shut-down codes learned.
  void StartWithCodes() {
    std::vector<std::string> table = ValidProgramme();
    table[kWindowsState] = "ON";
    table[kRestartSlot] = std::to_string(kRestartCode);
    table[kShutDownSlot] = std::to_string(kShutDownCode);
    Start(table);
  }

  HWND Countdown() const { return app_->Form(L"TForm6"); }
  HWND Line(std::string_view name) const { return app_->Control(L"TForm6", name); }

  // Whether `label` is centred in the countdown window's panel, to a pixel.
  ::testing::AssertionResult Centred(std::string_view name) const {
    HWND label = Line(name);
    HWND panel = Line("Panel1");
    if (!label || !panel) return ::testing::AssertionFailure() << "no " << name << " or Panel1";
    RECT label_rect{}, panel_rect{};
    GetWindowRect(label, &label_rect);
    GetWindowRect(panel, &panel_rect);
    const int left = label_rect.left - panel_rect.left;
    const int want =
        ((panel_rect.right - panel_rect.left) - (label_rect.right - label_rect.left)) / 2;
    if (std::abs(left - want) <= 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << " stands at " << left << ", centred is " << want;
  }
};

TEST_F(PowerCountdown, RestartCodeShowsTheCountdownAndTheSameCodeCancelsIt) {
  StartWithCodes();
  HWND window = Countdown();
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(IsWindowVisible(window));
  HWND first = Line("Label1");
  HWND second = Line("Label2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  TextLog first_line(first);

  ASSERT_TRUE(Send(kRestartCode));
  ASSERT_TRUE(WaitForForm(L"TForm6", true));
  EXPECT_TRUE(Topmost(window)) << "the countdown window does not stay on top";
  EXPECT_EQ(WindowText(second), kCancelLine);
  // Centred on the screen.
  RECT place{};
  GetWindowRect(window, &place);
  EXPECT_LE(std::abs((place.left + place.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
  EXPECT_LE(std::abs((place.top + place.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

  // A second later the count is down by one.
  ASSERT_TRUE(first_line.WaitFor(RestartLine(4), kWait)) << Join(first_line.Texts());
  EXPECT_EQ(first_line.Texts(), (std::vector<std::wstring>{RestartLine(5), RestartLine(4)}))
      << Join(first_line.Texts());
  EXPECT_EQ(WindowText(second), kCancelLine);
  ASSERT_TRUE(app_->Sync());
  EXPECT_TRUE(Centred("Label1"));
  EXPECT_TRUE(Centred("Label2"));
  Sleep(200);  // the new count's paint, for the picture
  Screenshot(window, L"countdown_window");

  // The same code again cancels it.
  ASSERT_TRUE(Send(kRestartCode));
  EXPECT_TRUE(WaitForForm(L"TForm6", false));
  EXPECT_FALSE(Topmost(window)) << "the hidden countdown window still stays on top";
  const std::vector<std::wstring> at_cancel = first_line.Texts();
  // Past the moment the countdown would have ended, nothing happened: the
  // program runs and the count no longer moves.
  EXPECT_FALSE(app_->process().WaitExit(6s)) << "the program ended after the cancel";
  EXPECT_EQ(first_line.Texts(), at_cancel) << Join(first_line.Texts());
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(PowerCountdown, EitherCodeCancelsEitherCountdown) {
  StartWithCodes();
  HWND window = Countdown();
  ASSERT_NE(window, nullptr);
  HWND first = Line("Label1");
  ASSERT_NE(first, nullptr);
  TextLog first_line(first);

  // Restart, cancelled by shut-down.
  ASSERT_TRUE(Send(kRestartCode));
  ASSERT_TRUE(WaitForForm(L"TForm6", true));
  ASSERT_TRUE(first_line.WaitFor(RestartLine(5), kWait)) << Join(first_line.Texts());
  ASSERT_TRUE(Send(kShutDownCode));
  EXPECT_TRUE(WaitForForm(L"TForm6", false));

  // Shut-down, cancelled by restart.
  ASSERT_TRUE(Send(kShutDownCode));
  ASSERT_TRUE(WaitForForm(L"TForm6", true));
  EXPECT_TRUE(Topmost(window));
  ASSERT_TRUE(first_line.WaitFor(ShutDownLine(5), kWait)) << Join(first_line.Texts());
  EXPECT_EQ(WindowText(Line("Label2")), kCancelLine);
  ASSERT_TRUE(Send(kRestartCode));
  EXPECT_TRUE(WaitForForm(L"TForm6", false));
  EXPECT_FALSE(Topmost(window));

  // Only the texts of the two countdowns were shown, each from 5 on.
  const std::vector<std::wstring> texts = first_line.Texts();
  ASSERT_GE(texts.size(), 2u) << Join(texts);
  EXPECT_EQ(texts.front(), RestartLine(5)) << Join(texts);
  const auto shut_down = std::find(texts.begin(), texts.end(), ShutDownLine(5));
  ASSERT_NE(shut_down, texts.end()) << Join(texts);
  for (auto it = texts.begin(); it != shut_down; ++it)
    EXPECT_EQ(it->rfind(L"Redémarrage du PC dans ", 0), 0u) << Join(texts);
  for (auto it = shut_down; it != texts.end(); ++it)
    EXPECT_EQ(it->rfind(L"Arrêt du PC dans ", 0), 0u) << Join(texts);
  EXPECT_TRUE(app_->process().Running());
}

// A countdown left to run out: the program calls ExitWindowsEx, which under
// Wine ends the session's programs with windows. A witness with a window,
// started before the end, ends with the program.
class PowerRunOut : public PowerCountdown {
 protected:
  void RunOut(int code, std::wstring (*line)(int), const std::wstring& final_line) {
    StartWithCodes();
    HWND first = Line("Label1");
    ASSERT_NE(first, nullptr);
    KeyRecorder witness(dir_.File(L"witness.txt"), L"Witness");
    ASSERT_TRUE(witness.WaitReady()) << "the witness did not start";
    TextLog first_line(first);

    ASSERT_TRUE(Send(code));
    ASSERT_TRUE(WaitForForm(L"TForm6", true));
    // Five seconds of countdown, then the session ends: the program and the
    // witness go within about fifteen seconds.
    EXPECT_TRUE(app_->process().WaitExit(40s)) << "the program still runs after the countdown";
    EXPECT_TRUE(witness.process().WaitExit(15s)) << "the witness still runs after the countdown";
    // The witness was ended, not stopped by its own event.
    const std::string witnessed = dir_.ReadFile(L"witness.txt").value_or("");
    EXPECT_EQ(witnessed.find("stopped"), std::string::npos) << witnessed;

    // Every second was shown, in order; the final message, set just before
    // the call, may be gone before it is seen.
    std::vector<std::wstring> want;
    for (int seconds = 5; seconds >= 1; --seconds) want.push_back(line(seconds));
    std::vector<std::wstring> texts = first_line.Texts();
    if (!texts.empty() && texts.back() == final_line) {
      texts.pop_back();
    } else {
      std::printf("[ note     ] \"%s\" was not seen before the program ended\n",
                  ToUtf8(final_line).c_str());
    }
    EXPECT_EQ(texts, want) << Join(first_line.Texts());

    // The prefix still runs programs.
    KeyRecorder after(dir_.File(L"after.txt"));
    EXPECT_TRUE(after.WaitReady()) << "no program starts in the prefix after the end";
    EXPECT_TRUE(after.Stop());
  }
};

TEST_F(PowerRunOut, RestartEndsTheSessionsWindowedPrograms) {
  RunOut(kRestartCode, RestartLine, L"Le PC va redémarrer.");
}

TEST_F(PowerRunOut, ShutDownEndsTheSessionsWindowedPrograms) {
  RunOut(kShutDownCode, ShutDownLine, L"Le PC va s'arrêter.");
}

}  // namespace
}  // namespace e2e
