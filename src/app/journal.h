// The journal of received codes (TForm10, "Options > Journal des codes
// reçus..."): the last 500 codes, newest at the bottom, each with its time
// to the millisecond and what it did, in French. It listens to the
// dispatcher; the codes are kept in memory only, never written to disk.
// While its window is closed a code costs a few copies into a ring of
// entries and no text at all: the lines are written when they are shown or
// copied.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "dispatch/dispatch_observer.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

// How the journal names what a code did ("Winamp activé", "Augmenter le
// volume (Volumes)", "Aucune action programmée"...).
std::string OutcomeText(const dispatch::Outcome& outcome);
// The name the window gives an action: the caption over its button, or the
// button's hint, or its own caption; a toggle code is its tab's
// "Activation codes IR" switch.
std::string ActionName(const dispatch::TabSpec& tab, const dispatch::CodeSlot& code);

class Journal final : public dispatch::IDispatchObserver {
 public:
  static constexpr std::size_t kCapacity = 500;

  Journal(ui::JournalForm& form, platform::IClock& clock, platform::IShell& shell);

  // Shows the window with every line kept; it is then kept up to date.
  void Show();
  void Hide();
  // "Copier": the lines on the clipboard, one per line of text.
  void Copy();
  // "Vider": no line left.
  void Clear();

  // One line per code, oldest first: time, code and what it did, separated
  // by tabs (the list's columns); several outcomes are joined by " ; ".
  std::vector<std::string> Lines() const;
  // What "Copier" puts on the clipboard: the lines, each ended by CR LF.
  std::string Text() const;

  // dispatch::IDispatchObserver
  void CodeArrived(int code) override;
  void Report(const dispatch::Outcome& outcome) override;

 private:
  struct Entry {
    platform::DateTime time;
    int code = 0;
    std::vector<dispatch::Outcome> outcomes;  // kept allocated when the entry is reused
  };
  const Entry& At(std::size_t n) const { return ring_[(first_ + n) % kCapacity]; }
  static std::string Line(const Entry& entry);

  ui::JournalForm& form_;
  platform::IClock& clock_;
  platform::IShell& shell_;
  std::array<Entry, kCapacity> ring_;
  std::size_t first_ = 0;  // the oldest entry
  std::size_t count_ = 0;
  Entry* newest_ = nullptr;  // the entry of the code going through, null once emptied
};

}  // namespace talvoro::app
