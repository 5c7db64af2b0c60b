#include <gtest/gtest.h>

#include "ui/form_model.h"
#include "ui/forms/styles.h"

namespace talvoro::ui {
namespace {

enum class TestId : std::uint16_t { Form, Switch, Button, Bar, Status };

constexpr Style kBar{.min = -90, .max = 90};
constexpr Style kPlainStyle{};
constexpr ControlSpec kControls[] = {
    {"TForm9", Kind::Form, 0, -1, -1, 100, 100, "Caption", "", &kPlainStyle},
    {"RxSwitch1", Kind::Switch, 0, 0, 0, 50, 20, "", "", &kPlainStyle},
    {"SpeedButton1", Kind::SpeedButton, 0, 0, 30, 40, 40, "+", "Hint", &kPlainStyle},
    {"TrackBar1", Kind::TrackBar, 0, 0, 80, 90, 20, "", "", &kBar},
    {"StatusBar1", Kind::StatusBar, 0, 0, 90, 100, 10, "", "", &kPlainStyle},
};
constexpr int kPanels[] = {30, 30, 40};
const FormLayout kLayout{"TForm9", kControls, kPanels};

struct RecordingView : IFormView {
  std::vector<std::pair<std::size_t, Change>> changes;
  void ControlChanged(std::size_t index, Change what, int) override {
    changes.emplace_back(index, what);
  }
  int TextWidth(std::size_t, std::string_view text) override { return int(text.size()) * 7; }
};

TEST(FormModel, StartsFromTheLayoutTable) {
  Form<TestId> form(kLayout);
  EXPECT_FALSE(form.Visible(TestId::Form));  // windows are shown on demand
  EXPECT_EQ(form.Text(TestId::Form), "Caption");
  EXPECT_EQ(form.Get(TestId::Bar).position, 0);  // bars start at their design position
  EXPECT_EQ(form.Get(TestId::Status).panels.size(), 3u);
}

TEST(FormModel, SwitchLeftPressFlipsThenRunsTheHandlerOtherButtonsDoNotFlip) {
  Form<TestId> form(kLayout);
  std::vector<bool> seen;
  form.OnSwitchPress(TestId::Switch, [&] { seen.push_back(form.Checked(TestId::Switch)); });
  form.ViewMouseDown(1, MouseButton::Left);
  form.ViewMouseDown(1, MouseButton::Right);
  form.ViewMouseDown(1, MouseButton::Left);
  EXPECT_EQ(seen, (std::vector<bool>{true, true, false}));
  form.SetChecked(TestId::Switch, true);  // from code: no handler
  EXPECT_EQ(seen.size(), 3u);
}

TEST(FormModel, ChangesReachTheViewAndErrorsReachTheSink) {
  Form<TestId> form(kLayout);
  RecordingView view;
  form.AttachView(&view);
  std::vector<std::string> errors;
  form.SetErrorSink([&](const std::string& m) { errors.push_back(m); });
  form.OnClick(TestId::Button, [] { throw std::runtime_error("Disque plein"); });
  form.SetText(TestId::Button, "-");
  form.SetPanelText(TestId::Status, 2, " Code IR: 1");
  form.ViewClick(2);
  form.ViewClick(2);
  ASSERT_EQ(view.changes.size(), 2u);
  EXPECT_EQ(view.changes[0], std::make_pair(std::size_t{2}, Change::Text));
  EXPECT_EQ(view.changes[1], std::make_pair(std::size_t{4}, Change::PanelText));
  EXPECT_EQ(errors, (std::vector<std::string>{"Disque plein", "Disque plein"}));
  EXPECT_EQ(form.TextWidth(TestId::Button, "abc"), 21);
}

// A built-in picture given to a button is kept by name and reaches the view
// as an image change.
TEST(FormModel, ABuiltInPictureReachesTheViewAsAnImageChange) {
  Form<TestId> form(kLayout);
  RecordingView view;
  form.AttachView(&view);
  EXPECT_EQ(form.Get(TestId::Button).picture, nullptr);
  form.SetPicture(TestId::Button, "BUTTON_PLAY");
  EXPECT_STREQ(form.Get(TestId::Button).picture, "BUTTON_PLAY");
  EXPECT_EQ(form.Get(TestId::Button).image, nullptr);
  ASSERT_EQ(view.changes.size(), 1u);
  EXPECT_EQ(view.changes[0], std::make_pair(std::size_t{2}, Change::Image));
  form.SetPicture(TestId::Button, nullptr);
  EXPECT_EQ(form.Get(TestId::Button).picture, nullptr);
  EXPECT_EQ(view.changes.size(), 2u);
}


// An unchanged panel text does not reach the view: the clock sets its panel
// ten times a second and the status bar would repaint each time.
TEST(FormModel, AnUnchangedPanelTextDoesNotReachTheView) {
  Form<TestId> form(kLayout);
  RecordingView view;
  form.AttachView(&view);
  form.SetPanelText(TestId::Status, 1, " 9:05:07");
  form.SetPanelText(TestId::Status, 1, " 9:05:07");
  EXPECT_EQ(view.changes.size(), 1u);
  // The same text in another panel is a change of that panel.
  form.SetPanelText(TestId::Status, 2, " 9:05:07");
  form.SetPanelText(TestId::Status, 1, " 9:05:08");
  EXPECT_EQ(view.changes.size(), 3u);
  EXPECT_EQ(form.Get(TestId::Status).panels,
            (std::vector<std::string>{"", " 9:05:08", " 9:05:07"}));
  // Clearing a panel is a change; clearing it again is not.
  form.SetPanelText(TestId::Status, 1, "");
  form.SetPanelText(TestId::Status, 1, "");
  EXPECT_EQ(view.changes.size(), 4u);
  EXPECT_THROW(form.SetPanelText(TestId::Status, 3, ""), std::out_of_range);
}

TEST(FormModel, OuterWidthComesFromTheViewOrFallsBackToTheClientWidth) {
  struct FramedView : RecordingView {
    int outer = 0;
    int OuterWidth() override { return outer; }
  };
  Form<TestId> form(kLayout);
  EXPECT_EQ(form.OuterWidth(), 100);  // no view: the table's client width
  FramedView view;
  form.AttachView(&view);
  EXPECT_EQ(form.OuterWidth(), 100);  // a view that cannot tell
  view.outer = 106;
  EXPECT_EQ(form.OuterWidth(), 106);
  RecordingView plain;  // a view that never heard of frames
  form.AttachView(&plain);
  EXPECT_EQ(form.OuterWidth(), 100);
}

}  // namespace
}  // namespace talvoro::ui
