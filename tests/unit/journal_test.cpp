// The journal of received codes: what each code did, in French, one line a
// code; the last 500 kept, shown while the window is open; "Copier" and
// "Vider".
#include "app/journal.h"
#include "heart_fixture.h"

namespace talvoro::test {
namespace {

using ui::JournalId;
using ui::MainId;

class JournalTest : public HeartTest {
 protected:
  JournalTest() { fake.clock.now.millisecond = 45; }

  void SendAt(long long ms, int code) {
    fake.clock.steady_ms = ms;
    Send(code);
  }
  ui::JournalForm& journal_form() { return app->forms().journal; }
  const std::vector<std::string>& List() { return journal_form().Get(JournalId::ListBox1).items; }
  void ClickJournal(JournalId id) { journal_form().ViewClick(ui::JournalForm::At(id)); }
  static std::string Line(const std::string& code, const std::string& outcomes) {
    return "14:05:07.045\t" + code + "\t" + outcomes;
  }
};

TEST_F(JournalTest, EachCodesLineTellsWhatItDid) {
  settings_lines[9] = "ANTIREPET_ON";
  table[1] = "ON";
  table[9] = "11";
  table[52] = "22";  // Winamp's toggle and its Activer button
  table[53] = "22";
  table[22] = "33";  // on Windows, which is off
  table[255] = "ON";
  table[256] = "44";
  Start();
  RecordActions();
  SendAt(1000, 11);
  SendAt(2000, 22);
  SendAt(2100, 22);
  SendAt(3000, 22);
  SendAt(4000, 33);
  SendAt(5000, 0);
  SendAt(6000, 99);
  SendAt(7000, 44);
  Press(MainId::RxSwitch2);
  Click(MainId::SpeedButton2);
  SendAt(8000, 22);
  SendAt(9000, 55);
  EXPECT_EQ(win().journal().Lines(),
            (std::vector<std::string>{
                Line("11", "Augmenter le volume (Volumes)"),
                Line("22", "Winamp activé ; Activer Lecteur Winamp (Winamp)"),
                Line("22", "Ignoré : répétition"),
                Line("22", "Winamp désactivé"),
                Line("33", "Programmé, mais onglet inactif : Windows"),
                Line("0", "Code 0 : ignoré"),
                Line("99", "Aucune action programmée"),
                Line("44", "Sélection (Fermer une application)"),
                Line("22", "Refusé : code d'un interrupteur ON/OFF"),
                Line("55", "Mémorisé pour : Réduire le volume (Volumes)"),
            }));
}

TEST_F(JournalTest, TheWindowShowsTheLast500CodesAndFollowsThemOnlyWhileOpen) {
  Start();
  for (int code = 1; code <= 3; ++code) Send(code);
  EXPECT_TRUE(List().empty());
  Click(MainId::Journaldescodes1);
  EXPECT_TRUE(journal_form().Visible(JournalId::TForm10));
  EXPECT_EQ(List(), (std::vector<std::string>{Line("1", "Aucune action programmée"),
                                              Line("2", "Aucune action programmée"),
                                              Line("3", "Aucune action programmée")}));
  for (int code = 4; code <= 501; ++code) Send(code);
  ASSERT_EQ(List().size(), 500u);
  EXPECT_EQ(List().front(), Line("2", "Aucune action programmée"));
  EXPECT_EQ(List().back(), Line("501", "Aucune action programmée"));
  EXPECT_EQ(win().journal().Lines(), List());

  journal_form().ViewClose();
  EXPECT_FALSE(journal_form().Visible(JournalId::TForm10));
  Send(502);
  EXPECT_EQ(List().back(), Line("501", "Aucune action programmée"));
  EXPECT_EQ(win().journal().Lines().front(), Line("3", "Aucune action programmée"));
  EXPECT_EQ(win().journal().Lines().back(), Line("502", "Aucune action programmée"));
}

TEST_F(JournalTest, CopierPutsTheLinesOnTheClipboardAndViderEmptiesTheList) {
  table[1] = "ON";
  table[9] = "8";
  Start();
  RecordActions();
  Send(7);
  Send(8);
  Click(MainId::Journaldescodes1);
  ClickJournal(JournalId::Button1);
  EXPECT_EQ(fake.shell.clipboard,
            "14:05:07.045\t7\tAucune action programmée\r\n"
            "14:05:07.045\t8\tAugmenter le volume (Volumes)\r\n");
  fake.shell.clipboard_busy = true;
  ClickJournal(JournalId::Button1);
  ASSERT_EQ(fake.dialogs.errors.size(), 1u);
  EXPECT_NE(fake.dialogs.errors[0].find("presse-papiers"), std::string::npos);

  ClickJournal(JournalId::Button2);
  EXPECT_TRUE(List().empty());
  EXPECT_TRUE(win().journal().Lines().empty());
  Send(9);
  EXPECT_EQ(List(), (std::vector<std::string>{Line("9", "Aucune action programmée")}));
  // Nothing of it ever reaches the disk.
  for (const auto& [path, bytes] : fake.files.files)
    EXPECT_EQ(bytes.find("Aucune"), std::string::npos) << path;
}

}  // namespace
}  // namespace talvoro::test
