#include "media/custom_keys.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "dispatch/key_chord.h"

namespace talvoro::media {

namespace {

const dispatch::KeySlot& RowKeys(int row) {
  const auto keys = dispatch::Tab(dispatch::kTabCustomKeys).keys;
  if (row < 1 || row > static_cast<int>(keys.size())) throw std::out_of_range("key row");
  return keys[static_cast<std::size_t>(row - 1)];
}

}  // namespace

void CustomKeys::Register(dispatch::ActionRegistry& actions) {
  for (int row = 1; row <= kRows; ++row)
    actions.SetRoutine(kFirstAction + row - 1,
                       [this, row](const dispatch::Call& call) { Send(row, call.armed); });
}

void CustomKeys::Wire() {
  for (int row = 1; row <= kRows; ++row)
    form_.OnClick(RowKeys(row).chooser, [this, row] { Choose(row); });
}

void CustomKeys::Send(int row, bool armed) {
  if (armed) return;
  const std::string& stored = config_.programme()[RowKeys(row).slot];
  if (const std::optional<dispatch::KeyChord> chord = dispatch::ParseChord(stored))
    for (const dispatch::KeyPress& press : dispatch::ChordEvents(*chord))
      keyboard_.KeyEvent(press.vk, press.key_up, press.extended);
  state_.Pending(dispatch::kTabCustomKeys) = row;
  if (osd::OsdCondition(state_, config_.settings()))
    osd_.ShowOsdMessage(kCustomKeysTitle,
                        "Touche " + std::to_string(row) + " : " + dispatch::KeysText(stored));
}

void CustomKeys::Choose(int row) {
  dialog_.Open(row, config_.programme()[RowKeys(row).slot],
               [this, row](const std::string& stored) { Store(row, stored); });
}

void CustomKeys::Store(int row, const std::string& stored) {
  const dispatch::KeySlot& keys = RowKeys(row);
  form_.SetText(keys.label, dispatch::KeysText(stored));
  config_.programme()[keys.slot] = stored;
  config_.SaveProgramme();
}

}  // namespace talvoro::media
