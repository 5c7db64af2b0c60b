// The ten media tabs' buttons from the window and the remote: the keys, the
// waits and the starts they make, in order, the value they leave in their
// tab's pending action number and what the OSD says. The expected scripts are
// written out key by key from the media command tables.
#include <set>

#include "heart_fixture.h"
#include "media/media_commands.h"

namespace talvoro::test {
namespace {

using ui::MainId;
using M = ui::MainId;
using Stream = EventStream;

// Virtual-key codes, from the Windows table.
constexpr int kShift = 0x10, kCtrl = 0x11, kAlt = 0x12;
constexpr int kEnter = 0x0D, kEsc = 0x1B, kSpace = 0x20;
constexpr int kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23;
constexpr int kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr int kPadPlus = 0x6B, kPadMinus = 0x6D;
constexpr int kF4 = 0x73, kF5 = 0x74, kF7 = 0x76, kF9 = 0x78, kF10 = 0x79;

Stream operator+(Stream a, const Stream& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Stream Down(int vk) {
  return {FakeKeyboard::KeyText(vk, false)};
}
Stream Up(int vk) {
  return {FakeKeyboard::KeyText(vk, true)};
}
Stream Tap(int vk) {
  return Down(vk) + Up(vk);
}
Stream Chord(int modifier, int vk) {
  return Down(modifier) + Tap(vk) + Up(modifier);
}
Stream Ctrl(int vk) {
  return Chord(kCtrl, vk);
}
Stream Alt(int vk) {
  return Chord(kAlt, vk);
}
Stream CtrlShift(int vk) {
  return Down(kCtrl) + Down(kShift) + Tap(vk) + Up(kShift) + Up(kCtrl);
}
Stream Sleep(int ms) {
  return {"sleep " + std::to_string(ms)};
}
Stream Times(int n, const Stream& s) {
  Stream all;
  for (int i = 0; i < n; ++i) all = all + s;
  return all;
}
Stream Open(const std::string& file) {
  return {"open " + file};
}
Stream StartApp(int tab) {
  return {"start tab " + std::to_string(tab)};
}

// Stands in for the application start step: records its calls in the stream.
class RecordingStartStep : public media::IStartStep {
 public:
  Stream* stream = nullptr;
  bool result = true;
  bool StartApplication(int tab) override {
    stream->push_back(StartApp(tab)[0]);
    return result;
  }
};

// One button as the tables describe it.
struct Row {
  MainId button;
  Stream stream;  // every start, key and wait it makes, in order
  int pending;
  const char* status;           // OSD status line, nullptr for none
  const char* title = nullptr;  // OSD title line when not the tab's
};

std::string Name(MainId id) {
  return ui::MainLayout().controls[ui::MainForm::At(id)].name;
}

class MediaTest : public HeartTest {
 protected:
  // The program with the tab switched on and the OSD setting on, its media
  // buttons run by a feature whose start step records into the stream.
  void StartWith(int tab) {
    if (tab != 0) table[dispatch::Tab(tab).state_slot] = "ON";
    settings_lines[5] = "OSD_ON";
    Start();
    fake.keyboard.stream = &stream;
    fake.clock.stream = &stream;
    fake.programs.stream = &stream;
    start_step.stream = &stream;
    commands = std::make_unique<media::MediaCommands>(
        state(), win().config(), fake.keyboard, fake.clock, fake.programs, start_step, win().osd());
    commands->Register(win().actions());
  }

  void HideOsd() {
    osd_form().HideFromTop();
    osd_form().SetText(ui::OsdId::Label11, "");
    osd_form().SetText(ui::OsdId::Label12, "");
  }

  // Clicks every button of the tab, the window reduced, and compares each
  // with its row; the rows must be the tab's buttons, all of them.
  void RunRows(int tab, const char* title, const std::vector<Row>& rows) {
    std::multiset<MainId> expected, listed;
    for (const Row& row : rows) expected.insert(row.button);
    for (const dispatch::CodeSlot& code : dispatch::Tab(tab).codes) listed.insert(code.control);
    EXPECT_EQ(expected, listed);
    win().Reduce();
    for (const Row& row : rows) {
      SCOPED_TRACE(Name(row.button));
      stream.clear();
      state().Pending(tab) = 0;
      HideOsd();
      Click(row.button);
      EXPECT_EQ(stream, row.stream);
      EXPECT_EQ(state().Pending(tab), row.pending);
      if (row.status) {
        EXPECT_TRUE(osd_form().Shown());
        EXPECT_TRUE(osd_form().Visible(ui::OsdId::Panel5));
        EXPECT_EQ(osd_form().Text(ui::OsdId::Label11), row.title ? row.title : title);
        EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), row.status);
      } else {
        EXPECT_FALSE(osd_form().Shown());
      }
    }
  }

  // Every button of every media tab, with its tab.
  template <typename F>
  void ForEachMediaRow(F f) {
    for (const dispatch::TabSpec& tab : dispatch::Tabs())
      if (tab.media)
        for (const dispatch::CodeSlot& row : tab.codes) f(tab, row);
  }

  Stream stream;
  RecordingStartStep start_step;
  std::unique_ptr<media::MediaCommands> commands;
};

TEST_F(MediaTest, WindowsMediaPlayerStartsThePlayerThroughTheShellThenTenF10) {
  StartWith(dispatch::kTabWindowsMediaPlayer);
  const Stream before = Open("wmplayer.exe") + Sleep(100) + Times(10, Tap(kF10));
  RunRows(dispatch::kTabWindowsMediaPlayer, "Lecteur Windows Media",
          {
              {M::SpeedButton19, before + Ctrl('P'), 2, "Bouton : Lecture / Pause"},
              {M::SpeedButton18, before + Ctrl('S'), 3, "Bouton : Stop"},
              {M::SpeedButton20, before + CtrlShift('F'), 4, "Bouton : Avance rapide ON/OFF"},
              {M::SpeedButton17, before + CtrlShift('B'), 5, "Bouton : Retour rapide ON/OFF"},
              {M::SpeedButton21, before + Ctrl('F'), 6, "Bouton : Suivant"},
              {M::SpeedButton16, before + Ctrl('B'), 7, "Bouton : Précédent"},
              {M::SpeedButton15, before, 1, "ACTIF"},
              {M::SpeedButton22, before + Alt(kEnter), 8, nullptr},
              {M::SpeedButton23, before + Ctrl('H'), 9, "Bouton : Lecture aléatoire ON/OFF"},
          });
}

TEST_F(MediaTest, WinampStartsThenFiftyUpArrows) {
  StartWith(dispatch::kTabWinamp);
  const Stream before = StartApp(4) + Sleep(100) + Times(50, Tap(kUp));
  RunRows(dispatch::kTabWinamp, "Lecteur Winamp",
          {
              {M::SpeedButton34, before, 3, "ACTIF"},
              {M::SpeedButton28, before + Tap('X'), 4, "Bouton : Lire"},
              {M::SpeedButton26, before + Tap('V'), 5, "Bouton : Stop"},
              {M::SpeedButton29, before + Tap(kRight), 6, "Bouton : Avancer"},
              {M::SpeedButton25, before + Tap(kLeft), 7, "Bouton : Reculer"},
              {M::SpeedButton30, before + Tap('B'), 8, "Bouton : Suivant"},
              {M::SpeedButton24, before + Tap('Z'), 9, "Bouton : Précédent"},
              {M::SpeedButton27, before + Tap('C'), 10, "Bouton : Pause"},
              {M::SpeedButton31, before + Tap('R'), 11, "Bouton : Répétez tout"},
              {M::SpeedButton32, before + Tap('S'), 12, "Bouton : Dans l'ordre / Aléatoire"},
              {M::SpeedButton33, before + Tap('F'), 13, "Bouton : Enchainer les titres"},
          });
}

TEST_F(MediaTest, PowerDvdShortcutsEndWithCtrlNButNotActiverNorEjection) {
  StartWith(dispatch::kTabPowerDvd);
  const Stream before = StartApp(5) + Sleep(100);
  const Stream after = Sleep(1) + Ctrl('N');
  RunRows(dispatch::kTabPowerDvd, "Lecteur Power DVD",
          {
              {M::SpeedButton36, before, 3, "ACTIF"},
              {M::SpeedButton42, before + Tap(kEnter) + after, 4, "Bouton : Lecture"},
              {M::SpeedButton40, before + Tap('S') + after, 5, "Bouton : Arrêt"},
              {M::SpeedButton43, before + Tap('T') + after, 6, "Bouton : Pas à pas avant"},
              {M::SpeedButton39, before + Ctrl('B') + after, 7, "Bouton : Pas à pas arrière"},
              {M::SpeedButton44, before + Tap('N') + after, 8, "Bouton : Suivant"},
              {M::SpeedButton38, before + Tap('P') + after, 9, "Bouton : Précédent"},
              {M::SpeedButton41, before + Tap(kSpace) + after, 10, "Bouton : Pause"},
              {M::SpeedButton47, before + Tap('Z') + after, 11, nullptr},
              {M::SpeedButton48, before + Ctrl('E'), 12, "Bouton : Ejection"},
              {M::SpeedButton45, before + Tap('U') + after, 13, "Bouton : Sous-titres"},
              {M::SpeedButton46, before + Tap('H') + after, 14, "Bouton : Langues audio"},
          });
}

TEST_F(MediaTest, WinDvdButtons) {
  StartWith(dispatch::kTabWinDvd);
  const Stream before = StartApp(6) + Sleep(100);
  RunRows(dispatch::kTabWinDvd, "Lecteur Win DVD",
          {
              {M::SpeedButton56, before, 3, "ACTIF"},
              {M::SpeedButton60, before + Tap(kSpace), 4, "Bouton : Lecture / Pause"},
              {M::SpeedButton59, before + Tap(kEnd), 5, "Bouton : Arrêt"},
              {M::SpeedButton61, before + Tap('F'), 6, "Bouton : Accéléré avant"},
              {M::SpeedButton58, before + Tap('R'), 7, "Bouton : Accéléré arrière"},
              {M::SpeedButton62, before + Tap(kPageDown), 8, "Bouton : Suivant"},
              {M::SpeedButton57, before + Tap(kPageUp), 9, "Bouton : Précédent"},
              {M::SpeedButton63, before + Tap('Z'), 10, nullptr},
              {M::SpeedButton64, before + Tap('E'), 11, "Bouton : Ejecter"},
              {M::SpeedButton65, before + Tap('N'), 12, "Bouton : Avance image par image"},
              {M::SpeedButton66, before + Ctrl('Q'), 13, "Bouton : Saut avant"},
              {M::SpeedButton67, before + Ctrl('M'), 14, "Bouton : Menu général"},
          });
}

TEST_F(MediaTest, MsiDvdButtonsAndItsPlayButtonsTwoTapsWithoutPause) {
  StartWith(dispatch::kTabMsiDvd);
  const Stream before = StartApp(7) + Sleep(100);
  RunRows(dispatch::kTabMsiDvd, "Lecteur MSI DVD",
          {
              {M::SpeedButton69, before, 3, "ACTIF"},
              {M::SpeedButton75, before + Tap(kSpace) + Tap(kEnter), 4, "Bouton : Lecture"},
              {M::SpeedButton73, before + Tap(kEnd), 5, "Bouton : Arrêt"},
              {M::SpeedButton76, before + Tap('F'), 6, "Bouton : Accéléré avant"},
              {M::SpeedButton72, before + Tap('R'), 7, "Bouton : Accéléré arrière"},
              {M::SpeedButton77, before + Tap(kPageDown), 8, "Bouton : Suivant"},
              {M::SpeedButton71, before + Tap(kPageUp), 9, "Bouton : Précédent"},
              {M::SpeedButton74, before + Tap(kSpace), 10, "Bouton : Pause"},
              {M::SpeedButton78, before + Tap('Z'), 11, nullptr},
              {M::SpeedButton79, before + Tap('E'), 12, "Bouton : Ejecter"},
              {M::SpeedButton80, before + Tap('N'), 13, "Bouton : Avance image par image"},
          });
}

TEST_F(MediaTest, PinnacleVolumeButtonsSendArrowsAndAltChordsUseAltAlone) {
  StartWith(dispatch::kTabPinnacle);
  const Stream before = StartApp(8) + Sleep(100);
  RunRows(dispatch::kTabPinnacle, "Pinnacle PCTV",
          {
              {M::SpeedButton83, before, 3, "ACTIF"},
              {M::SpeedButton84, before + Tap(kUp), 4, "Bouton : Programme +"},
              {M::SpeedButton85, before + Tap(kDown), 5, "Bouton : Programme -"},
              {M::SpeedButton86, before + Ctrl('A'), 6, "Bouton : Sources vidéo"},
              {M::SpeedButton87, before + Ctrl('P'), 7, "Bouton : Aperçu"},
              {M::SpeedButton88, before + Tap(kRight), 8, "Bouton : Volume +"},
              {M::SpeedButton89, before + Tap(kLeft), 9, "Bouton : Volume -"},
              {M::SpeedButton90, before + Alt('P'), 10, "Bouton : Lecture"},
              {M::SpeedButton91, before + Alt('S'), 11, "Bouton : Arrêt"},
              {M::SpeedButton92, before + Alt('R'), 12, "Bouton : Enregistrer"},
              {M::SpeedButton93, before + Ctrl('F'), 13, "Bouton : Plein écran ON/OFF"},
              {M::SpeedButton94, before + Tap(kF4), 14, "Bouton : Photo"},
              {M::SpeedButton95, before + Ctrl('I'), 15, "Bouton : Informations"},
          });
}

TEST_F(MediaTest, PowerPointSlideButtonsStartNothingWaitForNothingAndStaySilent) {
  StartWith(dispatch::kTabPowerPoint);
  RunRows(dispatch::kTabPowerPoint, "Microsoft PowerPoint",
          {
              {M::SpeedButton102, StartApp(9), 3, "ACTIF"},
              {M::SpeedButton98, Tap(kF5), 4, nullptr},
              {M::SpeedButton99, Tap(kEsc), 5, nullptr},
              {M::SpeedButton100, Tap(kUp), 6, nullptr},
              {M::SpeedButton101, Tap(kDown), 7, nullptr},
          });
}

TEST_F(MediaTest, KtvPlusAndMinusAreTheKeypadKeys) {
  StartWith(dispatch::kTabKtv);
  const Stream before = StartApp(10) + Sleep(100);
  RunRows(dispatch::kTabKtv, "K!TV XP",
          {
              {M::SpeedButton105, before, 3, "ACTIF"},
              {M::SpeedButton106, before + Tap(kPadPlus), 4, "Bouton : Programme +"},
              {M::SpeedButton107, before + Tap(kPadMinus), 5, "Bouton : Programme -"},
              {M::SpeedButton108, before + Tap(kPageUp), 6, "Bouton : Volume +"},
              {M::SpeedButton109, before + Tap(kPageDown), 7, "Bouton : Volume -"},
              {M::SpeedButton110, before + Tap('B'), 8, "Bouton : Lumière +"},
              {M::SpeedButton111, before + Alt('B'), 9, "Bouton : Lumière -"},
              {M::SpeedButton112, before + Tap('C'), 10, "Bouton : Contraste +"},
              {M::SpeedButton113, before + Alt('C'), 11, "Bouton : Contraste -"},
              {M::SpeedButton114, before + Tap('V'), 12, "Bouton : Couleur +"},
              {M::SpeedButton115, before + Alt('V'), 13, "Bouton : Couleur -"},
              {M::SpeedButton116, before + Alt(kEnter), 14, "Bouton : Plein écran ON/OFF"},
              {M::SpeedButton117, before + Tap('Z'), 15, "Bouton : Zoom"},
              {M::SpeedButton118, before + Ctrl('P'), 16, "Bouton : Photo"},
              {M::SpeedButton119, before + Tap('S'), 17, "Bouton : Sous-titres"},
              {M::SpeedButton120, before + Tap(kEnter), 18, "Bouton : Informations"},
          });
}

TEST_F(MediaTest, RealOneActiverWaitsBeforeItsChordsTheShortcutsAfterTheirs) {
  StartWith(dispatch::kTabRealOne);
  const Stream chords = Times(37, Ctrl(kUp));
  const Stream before = StartApp(11) + chords + Sleep(100);
  RunRows(dispatch::kTabRealOne, "Lecteur RealOne Player",
          {
              {M::SpeedButton129, StartApp(11) + Sleep(100) + chords, 3, "ACTIF"},
              {M::SpeedButton123, before + CtrlShift('Y'), 4, "Bouton : Retour rapide"},
              {M::SpeedButton124, before + CtrlShift('X'), 5, "Bouton : Accéléré arrière",
               "Lecteur RealOne player"},
              {M::SpeedButton125, before + Ctrl('S'), 6, "Bouton : Arrêt"},
              {M::SpeedButton126, before + Ctrl('P'), 7, "Bouton : Lecture / Pause"},
              {M::SpeedButton127, before + CtrlShift('E'), 8, "Bouton : Accéléré avant"},
              {M::SpeedButton128, before + CtrlShift('V'), 9, "Bouton : Accéléré rapide"},
              {M::SpeedButton130, before + Tap(kF7) + Ctrl('1'), 10, "Bouton : Taille d'origine"},
              {M::SpeedButton131, before + Tap(kF7) + Ctrl('2'), 11, "Bouton : Taille double"},
              {M::SpeedButton132, before + Tap(kF9) + Sleep(10) + Ctrl('3'), 12, nullptr},
          });
}

TEST_F(MediaTest, ProgDvbButtons) {
  StartWith(dispatch::kTabProgDvb);
  const Stream before = StartApp(13) + Sleep(100);
  RunRows(dispatch::kTabProgDvb, "Prog DVB",
          {
              {M::SpeedButton141, before, 3, "ACTIF"},
              {M::SpeedButton142, before + Tap(kUp), 4, "Bouton : Canal précédent"},
              {M::SpeedButton143, before + Tap(kDown), 5, "Bouton : Canal suivant"},
              {M::SpeedButton144, before + Tap(kEnter), 6, "Bouton : Validation du canal"},
              {M::SpeedButton145, before + Tap(kPadPlus), 7, "Bouton : Volume +"},
              {M::SpeedButton146, before + Tap(kPadMinus), 8, "Bouton : Volume -"},
              {M::SpeedButton147, before + Tap('R'), 9, "Bouton : Enregistrer"},
              {M::SpeedButton148, before + Tap('F'), 10, "Bouton : Plein écran ON/OFF"},
              {M::SpeedButton149, before + Tap('W'), 11, "Bouton : TV Windows"},
              {M::SpeedButton150, before + Tap('I'), 12, "Bouton : Informations OSD"},
          });
}

TEST_F(MediaTest, CtrlShiftChordsReleaseShiftBeforeCtrl) {
  StartWith(dispatch::kTabWindowsMediaPlayer);
  fake.keyboard.events.clear();
  Click(M::SpeedButton20);  // Ctrl+Shift+F, after ten F10 taps
  ASSERT_EQ(fake.keyboard.events.size(), 26u);
  const std::vector<std::pair<std::uint8_t, bool>> chord(fake.keyboard.events.begin() + 20,
                                                         fake.keyboard.events.end());
  EXPECT_EQ(
      chord,
      (std::vector<std::pair<std::uint8_t, bool>>{
          {0x11, false}, {0x10, false}, {0x46, false}, {0x46, true}, {0x10, true}, {0x11, true}}));
}

TEST_F(MediaTest, WhileProgrammingNothingIsSentAndOnlyButtonsWithTextsAnnounce) {
  StartWith(0);
  win().Reduce();
  int announced = 0;
  for (const dispatch::TabSpec& tab : dispatch::Tabs()) {
    if (!tab.media) continue;
    Press(tab.programming);
    ASSERT_TRUE(On(tab.programming)) << tab.caption;
    for (const dispatch::CodeSlot& row : tab.codes) {
      SCOPED_TRACE(Name(row.control));
      stream.clear();
      HideOsd();
      Click(row.control);
      EXPECT_TRUE(stream.empty());
      EXPECT_EQ(state().action_number, row.action);
      EXPECT_TRUE(learn().Shown());
      EXPECT_EQ(state().Pending(tab.number), 0);
      EXPECT_EQ(osd_form().Shown(), row.osd_status != nullptr);
      if (row.osd_status) {
        ++announced;
        EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), row.osd_status);
      }
    }
    Press(tab.programming);
  }
  // Every button but the five full-screen buttons of the players and the
  // four PowerPoint slide buttons.
  EXPECT_EQ(announced, 109 - 9);
}

TEST_F(MediaTest, NoOsdWithTheWindowShownOrTheSettingNotExactlyOn) {
  StartWith(0);
  auto run_all = [&] {
    ForEachMediaRow([&](const dispatch::TabSpec& tab, const dispatch::CodeSlot& row) {
      SCOPED_TRACE(Name(row.control));
      HideOsd();
      Click(row.control);
      EXPECT_FALSE(osd_form().Shown());
      EXPECT_EQ(state().Pending(tab.number), row.pending);
    });
  };
  run_all();  // shown, "OSD_ON"
  win().Reduce();
  for (const char* setting : {"OSD_OFF", "osd_on"}) {
    win().settings()[config::kOsdSwitch] = setting;
    run_all();
  }
}

TEST_F(MediaTest, AFailedStartStillSendsTheKeysAndAnnounces) {
  StartWith(dispatch::kTabWinDvd);
  win().Reduce();
  start_step.result = false;
  Click(M::SpeedButton66);
  EXPECT_EQ(stream, StartApp(6) + Sleep(100) + Ctrl('Q'));
  EXPECT_EQ(state().Pending(dispatch::kTabWinDvd), 13);
  EXPECT_EQ(osd_form().Text(ui::OsdId::Label12), "Bouton : Saut avant");
  stream.clear();
  fake.programs.fails = {"open wmplayer.exe"};
  Click(M::SpeedButton15);
  EXPECT_EQ(stream, Open("wmplayer.exe") + Sleep(100) + Times(10, Tap(kF10)));
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 1);
  EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(MediaTest, TheRemoteRunsTheSameButtonsThroughThePowerPointCrossedSlots) {
  table[156] = "1560";
  table[157] = "1570";
  table[74] = "740";
  StartWith(dispatch::kTabPowerPoint);
  Send(1560);  // slot 156: next page
  EXPECT_EQ(stream, Tap(kDown));
  EXPECT_EQ(state().Pending(dispatch::kTabPowerPoint), 7);
  stream.clear();
  Send(1570);  // slot 157: previous page
  EXPECT_EQ(stream, Tap(kUp));
  EXPECT_EQ(state().Pending(dispatch::kTabPowerPoint), 6);
  stream.clear();
  Send(740);  // Power DVD is off: nothing
  EXPECT_TRUE(stream.empty());
  Press(M::RxSwitch9);
  ASSERT_TRUE(On(M::RxSwitch9));
  Send(740);
  EXPECT_EQ(stream, StartApp(5) + Sleep(100) + Tap(kEnter) + Sleep(1) + Ctrl('N'));
}

TEST_F(MediaTest, EveryPendingValueIsOneThePeriodicTickConsumes) {
  StartWith(0);
  ForEachMediaRow([&](const dispatch::TabSpec& tab, const dispatch::CodeSlot& row) {
    SCOPED_TRACE(Name(row.control));
    Click(row.control);
    EXPECT_EQ(state().Pending(tab.number), row.pending);
    EXPECT_NE(row.pending, 0);
    fake.timers.Fire(100);
    EXPECT_EQ(state().Pending(tab.number), 0);
  });
}

TEST_F(MediaTest, EveryButtonOfTheTenMediaTabsAndNoOtherIsRegistered) {
  StartWith(0);
  std::vector<int> media_tabs;
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    if (tab.media) media_tabs.push_back(tab.number);
  EXPECT_EQ(media_tabs, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 13}));

  dispatch::ActionRegistry fresh([](int) { return false; }, [](int) {});
  commands->Register(fresh);
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    for (const dispatch::CodeSlot& code : tab.codes)
      EXPECT_EQ(fresh.HasRoutine(code.action), tab.media != nullptr) << code.action;
  for (int toggle : {29, 40, 60, 80, 100, 120, 150, 170, 190, 200, 220})
    EXPECT_FALSE(fresh.HasRoutine(toggle)) << toggle;
}

// The program's own media feature, as the main window wires it.
class MainWindowMediaTest : public HeartTest {};

TEST_F(MainWindowMediaTest, TheWindowsMediaButtonsOpenThePlayerAndSendTheirKeys) {
  Start();
  Click(M::SpeedButton19);
  EXPECT_EQ(fake.programs.calls, (std::vector<std::string>{"open wmplayer.exe"}));
  EXPECT_EQ(fake.clock.slept_ms, 100);
  ASSERT_EQ(fake.keyboard.events.size(), 24u);
  EXPECT_EQ(fake.keyboard.events.front(), std::make_pair(std::uint8_t{0x79}, false));
  EXPECT_EQ(fake.keyboard.events[21], std::make_pair(std::uint8_t{0x50}, false));
  EXPECT_EQ(state().Pending(dispatch::kTabWindowsMediaPlayer), 2);
  fake.keyboard.events.clear();
  Click(M::SpeedButton28);  // Winamp: after its start step, fifty Up and X
  ASSERT_GE(fake.keyboard.events.size(), 2u);
  EXPECT_EQ(fake.keyboard.events[fake.keyboard.events.size() - 2],
            std::make_pair(std::uint8_t{'X'}, false));
  EXPECT_EQ(state().Pending(dispatch::kTabWinamp), 4);
}

}  // namespace
}  // namespace talvoro::test
