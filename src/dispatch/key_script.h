// Synthesized keyboard shortcuts as data: a key script is a short list of
// steps, each a key tap, a key chord or a wait, a tap or chord possibly sent
// several times in a row. The media tabs' tables in the slot map are written
// with these steps; media::SendSteps performs them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <stdexcept>

namespace talvoro::dispatch {

// Windows virtual-key codes of the keys the media tabs send.
namespace vk {
inline constexpr std::uint8_t kShift = 0x10;
inline constexpr std::uint8_t kCtrl = 0x11;
inline constexpr std::uint8_t kAlt = 0x12;
inline constexpr std::uint8_t kEnter = 0x0D;
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kSpace = 0x20;
inline constexpr std::uint8_t kPageUp = 0x21;
inline constexpr std::uint8_t kPageDown = 0x22;
inline constexpr std::uint8_t kEnd = 0x23;
inline constexpr std::uint8_t kLeft = 0x25;
inline constexpr std::uint8_t kUp = 0x26;
inline constexpr std::uint8_t kRight = 0x27;
inline constexpr std::uint8_t kDown = 0x28;
inline constexpr std::uint8_t kKeypadPlus = 0x6B;
inline constexpr std::uint8_t kKeypadMinus = 0x6D;
inline constexpr std::uint8_t kF4 = 0x73;
inline constexpr std::uint8_t kF5 = 0x74;
inline constexpr std::uint8_t kF7 = 0x76;
inline constexpr std::uint8_t kF9 = 0x78;
inline constexpr std::uint8_t kF10 = 0x79;

// A letter or digit key: its upper-case character is its code.
consteval std::uint8_t Key(char c) {
  if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) throw std::invalid_argument("key");
  return static_cast<std::uint8_t>(c);
}
}  // namespace vk

enum class StepKind : std::uint8_t { Tap, Chord, Wait };

struct KeyStep {
  StepKind kind = StepKind::Tap;
  std::uint8_t key = 0;  // the key of a tap or chord
  // A chord's modifiers, pressed in this order and released in the reverse
  // order; 0 for none.
  std::array<std::uint8_t, 2> modifiers{};
  int times = 1;  // a tap or chord sent this many times in a row
  int ms = 0;     // a wait's length
};

// Press and release.
constexpr KeyStep Tap(std::uint8_t key) {
  return {StepKind::Tap, key};
}
constexpr KeyStep Ctrl(std::uint8_t key) {
  return {StepKind::Chord, key, {vk::kCtrl, 0}};
}
// Ctrl, Shift, the key; then the key, Shift and Ctrl go up.
constexpr KeyStep CtrlShift(std::uint8_t key) {
  return {StepKind::Chord, key, {vk::kCtrl, vk::kShift}};
}
constexpr KeyStep Alt(std::uint8_t key) {
  return {StepKind::Chord, key, {vk::kAlt, 0}};
}
// A pause on the calling thread.
constexpr KeyStep Wait(int ms) {
  return {StepKind::Wait, 0, {}, 1, ms};
}
// A tap or chord sent `times` times.
constexpr KeyStep Repeat(int times, KeyStep step) {
  if (step.kind == StepKind::Wait || times < 1) throw std::invalid_argument("repeat");
  step.times = times;
  return step;
}

// A short ordered list of steps, held in place so that a table row can carry
// its own script.
class KeyScript {
 public:
  static constexpr std::size_t kCapacity = 3;

  constexpr KeyScript() = default;
  // A single step stands for a script of that step alone.
  constexpr KeyScript(KeyStep step) : KeyScript({step}) {}
  constexpr KeyScript(std::initializer_list<KeyStep> steps) {
    if (steps.size() > kCapacity) throw std::length_error("key script");
    for (const KeyStep& step : steps) steps_[size_++] = step;
  }

  constexpr std::span<const KeyStep> steps() const { return {steps_.data(), size_}; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr const KeyStep* begin() const { return steps_.data(); }
  constexpr const KeyStep* end() const { return steps_.data() + size_; }

 private:
  std::array<KeyStep, kCapacity> steps_{};
  std::size_t size_ = 0;
};

}  // namespace talvoro::dispatch
