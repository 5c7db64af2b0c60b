// Configuration tables as the tests write them and expect to find them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

constexpr int kSettingsLines = 30;
constexpr int kProgrammeLines = 300;

// The activation state slot of every tab, Volumes first.
inline const std::vector<int>& StateSlots() {
  static const std::vector<int> slots = {1,   21,  35,  51,  71,  91,  111, 131,
                                         151, 171, 201, 220, 236, 255, 259};
  return slots;
}

// Every slot that holds a learned code, toggle codes included.
inline const std::vector<int>& CodeSlots() {
  static const std::vector<int> slots = [] {
    std::vector<int> s;
    auto range = [&s](int first, int last) {
      for (int i = first; i <= last; ++i) s.push_back(i);
    };
    range(7, 14);
    range(22, 29);
    range(36, 45);
    range(52, 63);
    range(72, 84);
    range(92, 104);
    range(112, 123);
    range(132, 145);
    range(153, 157);
    range(172, 188);
    range(202, 212);
    for (int i = 222; i <= 230; i += 2) s.push_back(i);
    range(237, 247);
    range(256, 258);
    for (int i = 260; i <= 298; i += 2) s.push_back(i);
    return s;
  }();
  return slots;
}

// Slots that nothing but load and save touches.
inline const std::vector<int>& SpareSlots() {
  static const std::vector<int> slots = [] {
    std::vector<int> s = {0};
    auto range = [&s](int first, int last) {
      for (int i = first; i <= last; ++i) s.push_back(i);
    };
    range(15, 20);
    range(30, 34);
    range(46, 49);
    range(64, 69);
    range(85, 89);
    range(105, 109);
    range(124, 129);
    range(146, 149);
    range(158, 169);
    range(189, 199);
    range(213, 219);
    range(231, 234);
    range(248, 254);
    return s;
  }();
  return slots;
}

// A programme table the program starts with without complaint: every tab
// off, master volume 60, balance centred, sound on.
inline std::vector<std::string> ValidProgramme() {
  std::vector<std::string> table(kProgrammeLines);
  // Values are moved in: assigning the literals trips a false -Wrestrict
  // warning of GCC 12.
  for (int slot : StateSlots()) table[slot] = std::string("OFF");
  table[2] = std::string("VG");
  table[3] = std::string("60");
  table[4] = std::string("SON_ON");
  table[5] = std::string("0");
  table[6] = std::string("128");
  return table;
}

inline std::vector<std::string> EmptySettings() {
  return std::vector<std::string>(kSettingsLines);
}

// One directory per test, named after it, emptied at the start of the test
// and left behind afterwards for a look when something failed.
inline std::wstring CurrentTestDirName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return Widen(std::string(info->test_suite_name()) + "." + info->name());
}

}  // namespace e2e
