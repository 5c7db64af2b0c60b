// Learned codes on the media tabs: each starts the tab's program from its
// stored path (a stand-in that leaves a marker file and ends) and sends
// exactly the button's keys with the tab's steps around them, as a low-level
// keyboard hook in another process of the session sees them
// (keyrecorder.exe). The recorder's window stands in front as the player
// would; the hook sees every injected key wherever it goes.
//
// The expected sequences are written out key by key from the media tabs'
// description: per tab the steps before and after the button's keys, per
// button its own keys. Pauses are checked only from below (the hook's time
// stamps), which a slow machine can only lengthen. A code that comes while
// one of the program's boxes is open waits until the box is answered.
//
// The file also leaves screenshots of two media tabs and of the launcher tab.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

// Virtual-key codes, from the Windows virtual-key table.
constexpr DWORD kCtrl = 0x11;
constexpr DWORD kSpace = 0x20;
constexpr DWORD kUp = 0x26;
constexpr DWORD kDown = 0x28;
constexpr DWORD kF9 = 0x78;
constexpr DWORD kDigit3 = 0x33;
constexpr DWORD kB = 0x42;
constexpr DWORD kE = 0x45;
constexpr DWORD kN = 0x4E;
constexpr DWORD kX = 0x58;

// Winamp: state, path, and the "Lire" button (X).
constexpr int kWinampState = 51;
constexpr int kWinampPath = 50;
constexpr int kWinampPlaySlot = 54;
constexpr int kWinampPlayCode = 5401;

// Power DVD: state, path, "Pause" (Space), "Pas à pas arrière" (Ctrl+B) and
// "Ejection" (Ctrl+E).
constexpr int kPowerDvdState = 71;
constexpr int kPowerDvdPath = 70;
constexpr int kPowerDvdPauseSlot = 80;
constexpr int kPowerDvdPauseCode = 8001;
constexpr int kPowerDvdStepBackSlot = 77;
constexpr int kPowerDvdStepBackCode = 7701;
constexpr int kPowerDvdEjectSlot = 82;
constexpr int kPowerDvdEjectCode = 8201;

// RealOne Player: state, path and "Plein écran" (F9, 10 ms, Ctrl+3).
constexpr int kRealOneState = 201;
constexpr int kRealOnePath = 200;
constexpr int kRealOneFullScreenSlot = 212;
constexpr int kRealOneFullScreenCode = 21201;

// Microsoft PowerPoint: state, path and the two page buttons, whose code
// slots are crossed: "Page précédente" (Up) uses slot 157, "Page suivante"
// (Down) slot 156.
constexpr int kPowerPointState = 151;
constexpr int kPowerPointPath = 150;
constexpr int kPreviousPageSlot = 157;
constexpr int kPreviousPageCode = 15701;
constexpr int kNextPageSlot = 156;
constexpr int kNextPageCode = 15601;

// Win DVD: state, path and "Lecture / Pause" (Space).
constexpr int kWinDvdState = 91;
constexpr int kWinDvdPath = 90;
constexpr int kWinDvdPlaySlot = 94;
constexpr int kWinDvdPlayCode = 9401;

// The Volumes tab's eight code slots.
constexpr int kFirstVolumesCodeSlot = 7;
constexpr int kLastVolumesCodeSlot = 14;

// Launcher: state and the five path slots.
constexpr int kLauncherState = 220;

// Key sequences as a program injects them.
using Keys = std::vector<KeyEvent>;

Keys Tap(DWORD vk) {
  return {Injected(vk, true), Injected(vk, false)};
}
// Modifier press, key press, key release, modifier release.
Keys Chord(DWORD modifier, DWORD vk) {
  return {Injected(modifier, true), Injected(vk, true), Injected(vk, false),
          Injected(modifier, false)};
}
Keys Times(int count, const Keys& keys) {
  Keys all;
  for (int i = 0; i < count; ++i) all.insert(all.end(), keys.begin(), keys.end());
  return all;
}
Keys Then(Keys first, const Keys& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class MediaKeys : public RemoteControlTest {
 protected:
  // Starts the program with `table`, then the recorder with its window in
  // front.
  void StartWithRecorder(const std::vector<std::string>& table) {
    Start(table);
    recorder_.emplace(dir_.File(L"keys.txt"), L"Lecteur au premier plan");
    ASSERT_TRUE(recorder_->WaitReady()) << "the key recorder did not start";
    HWND front = recorder_->window();
    ASSERT_NE(front, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front; }, kWait))
        << "the recorder's window did not come to the front";
  }

  // Everything the hook saw so far (the recorder stays on).
  Keys SeenKeys() {
    auto events = recorder_->EventsUntilNow();
    EXPECT_TRUE(events) << "the key recorder did not see the test's mark";
    return events.value_or(Keys{});
  }

  // The program handled the code without a warning box (a failed start
  // would show one) and still runs.
  void ExpectNoWarning() {
    ASSERT_TRUE(app_->Sync());
    EXPECT_EQ(app_->MessageBoxWindow(), nullptr) << "a message box is shown";
    EXPECT_TRUE(app_->process().Running());
  }

  std::optional<KeyRecorder> recorder_;
};

// The hook's time between `earlier` and `later` (tick counts, wrapping).
DWORD Gap(const KeyEvent& earlier, const KeyEvent& later) {
  return later.time - earlier.time;
}

TEST_F(MediaKeys, WinampButtonStartsWinampThenSendsFiftyUpsAndItsKey) {
  std::vector<std::string> table = ValidProgramme();
  table[kWinampState] = "ON";
  table[kWinampPlaySlot] = std::to_string(kWinampPlayCode);
  const std::wstring winamp = Plant(L"winamp.exe");
  table[kWinampPath] = ToCp1252(winamp);
  StartWithRecorder(table);

  ASSERT_TRUE(Send(kWinampPlayCode));
  // Wait 100 ms, 50 taps of Up, then "Lire": X.
  EXPECT_TRUE(SameKeys(SeenKeys(), Then(Times(50, Tap(kUp)), Tap(kX))));
  const std::optional<std::string> ran = WaitForRun(L"winamp.exe");
  ASSERT_TRUE(ran) << "the Winamp path was not started";
  EXPECT_EQ(*ran, "\"" + ToUtf8(winamp) + "\"");
  ExpectNoWarning();
}

TEST_F(MediaKeys, PowerDvdShortcutsEndWithCtrlNExceptEjection) {
  std::vector<std::string> table = ValidProgramme();
  table[kPowerDvdState] = "ON";
  table[kPowerDvdPauseSlot] = std::to_string(kPowerDvdPauseCode);
  table[kPowerDvdStepBackSlot] = std::to_string(kPowerDvdStepBackCode);
  table[kPowerDvdEjectSlot] = std::to_string(kPowerDvdEjectCode);
  const std::wstring player = Plant(L"powerdvd.exe");
  table[kPowerDvdPath] = ToCp1252(player);
  StartWithRecorder(table);

  // "Pause": wait 100 ms, Space, wait 1 ms, Ctrl+N.
  ASSERT_TRUE(Send(kPowerDvdPauseCode));
  Keys want = Then(Tap(kSpace), Chord(kCtrl, kN));
  Keys seen = SeenKeys();
  EXPECT_TRUE(SameKeys(seen, want)) << "after Pause";
  if (seen.size() == want.size()) {
    // The 1 ms wait between the button's key and Ctrl+N.
    EXPECT_GE(Gap(seen[1], seen[2]), 1u) << "no pause before Ctrl+N";
  }
  ASSERT_TRUE(WaitForRun(L"powerdvd.exe")) << "the Power DVD path was not started";

  // "Pas à pas arrière", a chord: Ctrl+B, then Ctrl+N.
  ASSERT_TRUE(Send(kPowerDvdStepBackCode));
  want = Then(want, Then(Chord(kCtrl, kB), Chord(kCtrl, kN)));
  EXPECT_TRUE(SameKeys(SeenKeys(), want)) << "after Pas à pas arrière";

  // "Ejection": Ctrl+E alone, no Ctrl+N after it.
  ASSERT_TRUE(Send(kPowerDvdEjectCode));
  want = Then(want, Chord(kCtrl, kE));
  EXPECT_TRUE(SameKeys(SeenKeys(), want)) << "after Ejection";
  ExpectNoWarning();
}

TEST_F(MediaKeys, RealOneFullScreenSendsCtrlUpsThenF9AndCtrl3WithItsPauses) {
  std::vector<std::string> table = ValidProgramme();
  table[kRealOneState] = "ON";
  table[kRealOneFullScreenSlot] = std::to_string(kRealOneFullScreenCode);
  const std::wstring player = Plant(L"realplay.exe");
  table[kRealOnePath] = ToCp1252(player);
  StartWithRecorder(table);

  ASSERT_TRUE(Send(kRealOneFullScreenCode));
  // 37 chords Ctrl+Up, wait 100 ms; then F9, wait 10 ms, Ctrl+3.
  const Keys preamble = Times(37, Chord(kCtrl, kUp));
  const Keys want = Then(preamble, Then(Tap(kF9), Chord(kCtrl, kDigit3)));
  const Keys seen = SeenKeys();
  EXPECT_TRUE(SameKeys(seen, want));
  if (seen.size() == want.size()) {
    const std::size_t f9 = preamble.size();
    EXPECT_GE(Gap(seen[f9 - 1], seen[f9]), 100u) << "the 100 ms wait before F9";
    EXPECT_GE(Gap(seen[f9 + 1], seen[f9 + 2]), 10u) << "the 10 ms wait between F9 and Ctrl+3";
  }
  const std::optional<std::string> ran = WaitForRun(L"realplay.exe");
  ASSERT_TRUE(ran) << "the RealOne Player path was not started";
  EXPECT_EQ(*ran, "\"" + ToUtf8(player) + "\"");
  ExpectNoWarning();
}

TEST_F(MediaKeys, PowerPointPageButtonsSendTheirKeyAloneAndStartNothing) {
  std::vector<std::string> table = ValidProgramme();
  table[kPowerPointState] = "ON";
  table[kPreviousPageSlot] = std::to_string(kPreviousPageCode);
  table[kNextPageSlot] = std::to_string(kNextPageCode);
  table[kPowerPointPath] = ToCp1252(Plant(L"powerpnt.exe"));
  StartWithRecorder(table);

  // The code of slot 157 is "Page précédente": Up alone.
  ASSERT_TRUE(Send(kPreviousPageCode));
  Keys want = Tap(kUp);
  EXPECT_TRUE(SameKeys(SeenKeys(), want)) << "after Page précédente";
  // The code of slot 156 is "Page suivante": Down alone.
  ASSERT_TRUE(Send(kNextPageCode));
  want = Then(want, Tap(kDown));
  EXPECT_TRUE(SameKeys(SeenKeys(), want)) << "after Page suivante";
  ExpectNoWarning();
  // The slide buttons start nothing: no marker appears (a start would have
  // been asked for before the keys, so its marker would come soon).
  EXPECT_FALSE(WaitUntil([&] { return dir_.Exists(L"powerpnt.exe.ran"); }, std::chrono::seconds(2)))
      << "a slide button started PowerPoint's path";
}

TEST_F(MediaKeys, ACodeWaitsWhileAConfirmationIsOpenAndRunsOnceItIsAnswered) {
  std::vector<std::string> table = ValidProgramme();
  for (int slot = kFirstVolumesCodeSlot; slot <= kLastVolumesCodeSlot; ++slot)
    table[slot] = std::to_string(slot * 100 + 1);
  table[kWinDvdState] = "ON";
  table[kWinDvdPlaySlot] = std::to_string(kWinDvdPlayCode);
  table[kWinDvdPath] = ToCp1252(Plant(L"windvd.exe"));
  StartWithRecorder(table);
  const std::string stored = ProgrammeBytes();

  // "Effacer" on the Volumes tab asks whether to clear its codes.
  HWND clear = app_->Control("SpeedButton50");
  ASSERT_NE(clear, nullptr);
  ClickButton(clear);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = app_->MessageBoxWindow()) != nullptr; }, kWait));

  // Win DVD's "Lecture / Pause" on the remote meanwhile: its Space would
  // answer "Oui". irsim returns once the program has handled the code.
  auto send = std::async(std::launch::async, [this] {
    return RunIrsim(dir_, L"send " + std::to_wstring(kWinDvdPlayCode));
  });
  EXPECT_EQ(send.wait_for(std::chrono::seconds(3)), std::future_status::timeout)
      << "the code was handled while the question was open";
  EXPECT_EQ(app_->MessageBoxWindow(), box);
  EXPECT_EQ(ProgrammeBytes(), stored);
  EXPECT_TRUE(SameKeys(SeenKeys(), Keys{}));
  EXPECT_FALSE(dir_.Exists(L"windvd.exe.ran"));

  // "Non": the codes stay, and the code that waited runs. Its Space goes to
  // the recorder's window, not to the program's.
  SetForegroundWindow(recorder_->window());
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  EXPECT_TRUE(WaitUntilDialogClosed(box, kWait));
  const IrsimResult result = send.get();
  ASSERT_TRUE(result.finished && result.exit_code == 0) << "irsim send: " << result.output;
  EXPECT_TRUE(SameKeys(SeenKeys(), Tap(kSpace)));
  EXPECT_TRUE(WaitForRun(L"windvd.exe")) << "the Win DVD path was not started";
  ExpectNoWarning();
  EXPECT_EQ(ProgrammeBytes(), stored);
}

// Screenshots of the Winamp, Power DVD and launcher tabs, with paths and a
// few codes stored, as the user sees them. What each tab holds is checked
// elsewhere; these are for the eye.
class TabScreenshots : public RemoteControlTest {};

TEST_F(TabScreenshots, WinampPowerDvdAndLauncherTabs) {
  std::vector<std::string> table = ValidProgramme();
  table[kWinampState] = "ON";
  table[kWinampPath] = "C:\\Program Files\\Winamp\\winamp.exe";
  table[kWinampPlaySlot] = std::to_string(kWinampPlayCode);
  table[kPowerDvdPath] = "C:\\Program Files\\CyberLink\\PowerDVD\\PowerDVD.exe";
  table[kPowerDvdEjectSlot] = std::to_string(kPowerDvdEjectCode);
  table[kLauncherState] = "ON";
  table[221] = "C:\\Windows\\notepad.exe";
  table[222] = "2201";
  table[225] = "C:\\Program Files\\Mes outils\\calc.exe";
  Start(table);

  struct Shot {
    const char* page;
    const wchar_t* name;
  };
  for (const Shot& shot :
       {Shot{"TabSheet4", L"tab_winamp_programmed"}, Shot{"TabSheet5", L"tab_powerdvd_programmed"},
        Shot{"TabSheet12", L"tab_launcher"}}) {
    ASSERT_TRUE(app_->SelectPage(shot.page)) << shot.page;
    ASSERT_TRUE(app_->Sync());
    // Shown pages paint in their own time.
    Sleep(500);
    ASSERT_TRUE(app_->Sync());
    Screenshot(app_->main_window(), shot.name);
  }
  EXPECT_EQ(WindowText(app_->Control("Label81")),
            L"Winamp => C:\\Program Files\\Winamp\\winamp.exe");
  EXPECT_EQ(WindowText(app_->Control("Label269")), L"C:\\Windows\\notepad.exe");
}

}  // namespace
}  // namespace e2e
