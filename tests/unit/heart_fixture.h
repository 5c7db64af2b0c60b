// A running first copy over the fakes, with every window created and the
// receiver arrived: what the switches, dispatch, learning, tick and OSD
// tests start from.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "config/line_file.h"
#include "dispatch/action_registry.h"
#include "dispatch/dispatcher.h"
#include "fakes.h"
#include "learning/learning.h"
#include "osd/osd.h"
#include "tabs/switches.h"

namespace talvoro::test {

class HeartTest : public ::testing::Test {
 protected:
  static constexpr const char* kDir = "C:\\P\\";

  HeartTest() {
    fake.instance.directory = kDir;
    for (const char* name : {"ledon.bmp", "ledoff.bmp", "SON_ON.BMP", "SON_OFF.BMP"})
      fake.files.files[Path(name)] = name;
    table = config::FreshProgramme();
  }

  static std::string Path(const std::string& name) { return std::string(kDir) + "\\" + name; }

  // Starts the program from `table` and `settings_lines`, creates the other
  // windows and lets the receiver arrive.
  void Start() {
    fake.files.files[Path("programme_IR.inf")] = config::FormatLines(table.Lines());
    fake.files.files[Path("parametres.inf")] = config::FormatLines(settings_lines);
    app = std::make_unique<app::Application>(fake.services());
    ASSERT_TRUE(app->OnMainWindowCreated());
    for (ui::FormBase* f : app->Forms())
      if (f != &app->main_form()) f->ViewCreate();
    win().OnReceiverArrived();
    saves_at_start = Saves();
  }

  // Records every action routine that acts (not merely armed), by action
  // number, in place of the tabs' own routines.
  void RecordActions() {
    for (const auto& tab : dispatch::Tabs())
      for (const auto& code : tab.codes)
        win().actions().SetRoutine(code.action,
                                   [this, action = code.action](const dispatch::Call& call) {
                                     if (call.armed) return;
                                     ran.push_back(action);
                                     callers.push_back(call.caller);
                                   });
  }

  app::MainWindow& win() { return app->main_window(); }
  ui::MainForm& form() { return app->main_form(); }
  ui::LearnForm& learn() { return app->forms().learn; }
  ui::OsdForm& osd_form() { return app->forms().osd; }
  ui::ConflictForm& conflict() { return app->forms().conflict; }
  dispatch::AppState& state() { return win().state(); }
  config::ProgrammeTable& programme() { return win().programme(); }

  // The user's mouse on the main window.
  void Press(ui::MainId id, ui::MouseButton button = ui::MouseButton::Left) {
    form().ViewMouseDown(ui::MainForm::At(id), button);
  }
  void Click(ui::MainId id) { form().ViewClick(ui::MainForm::At(id)); }
  bool On(ui::MainId id) { return form().Checked(id); }
  // The remote.
  void Send(int code) { win().OnCode(code); }

  // What programme_IR.inf holds now.
  std::vector<std::string> File() {
    return config::ParseLines(fake.files.files.at(Path("programme_IR.inf")), 300);
  }
  int Saves() { return fake.files.replace_count[Path("programme_IR.inf")]; }
  int SavesSinceStart() { return Saves() - saves_at_start; }

  FakePlatform fake;
  config::ProgrammeTable table;
  std::vector<std::string> settings_lines = std::vector<std::string>(30);
  std::unique_ptr<app::Application> app;
  int saves_at_start = 0;
  std::vector<int> ran;
  std::vector<dispatch::Caller> callers;
};

}  // namespace talvoro::test
