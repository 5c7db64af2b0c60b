#include <gtest/gtest.h>

#include "app/single_instance.h"

namespace talvoro::app {
namespace {

TEST(HandOver, EncodesTheCountAndShortStringsAtTheirOffsets) {
  auto block = HandOver::FromCommandLine({"C:\\a.exe", "/b"}).Encode();
  ASSERT_EQ(block.size(), 2820u);
  EXPECT_EQ(block[0], 1);  // one argument after the program path
  EXPECT_EQ(block[1] | block[2] | block[3], 0);
  EXPECT_EQ(block[4], 8);
  EXPECT_EQ(std::string(block.begin() + 5, block.begin() + 13), "C:\\a.exe");
  EXPECT_EQ(block[260], 2);
  EXPECT_EQ(std::string(block.begin() + 261, block.begin() + 263), "/b");
  auto decoded = HandOver::Decode(block.data(), block.size());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->count, 1);
  EXPECT_EQ(decoded->arguments, (std::vector<std::string>{"C:\\a.exe", "/b"}));
}

TEST(HandOver, CutsArgumentsToElevenStringsOf255Bytes) {
  std::vector<std::string> line(15, "x");
  line[1] = std::string(300, 'y');
  auto h = HandOver::FromCommandLine(line);
  EXPECT_EQ(h.count, 10);
  ASSERT_EQ(h.arguments.size(), 11u);
  EXPECT_EQ(h.arguments[1].size(), 255u);
  auto block = h.Encode();
  EXPECT_EQ(HandOver::Decode(block.data(), block.size())->arguments, h.arguments);
}

TEST(HandOver, RefusesEveryMalformedBlock) {
  auto block = HandOver::FromCommandLine({"p"}).Encode();
  EXPECT_FALSE(HandOver::Decode(nullptr, 2820));
  EXPECT_FALSE(HandOver::Decode(block.data(), 0));
  EXPECT_FALSE(HandOver::Decode(block.data(), 2819));
  std::vector<std::uint8_t> longer(block);
  longer.push_back(0);
  EXPECT_FALSE(HandOver::Decode(longer.data(), longer.size()));
  for (std::uint32_t count : {12u, 0x80000000u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(count >> (8 * i));
    EXPECT_FALSE(HandOver::Decode(block.data(), block.size())) << count;
  }
  for (std::uint32_t count : {0u, 11u}) {
    for (int i = 0; i < 4; ++i) block[i] = static_cast<std::uint8_t>(count >> (8 * i));
    EXPECT_TRUE(HandOver::Decode(block.data(), block.size())) << count;
  }
}

TEST(HandOver, LengthBytesNeverReachPastTheirSlot) {
  std::vector<std::uint8_t> block(2820, 0xFF);
  block[0] = 10;
  block[1] = block[2] = block[3] = 0;
  auto decoded = HandOver::Decode(block.data(), block.size());
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->arguments.size(), 11u);
  for (const auto& a : decoded->arguments) EXPECT_EQ(a.size(), 255u);
}

}  // namespace
}  // namespace talvoro::app
