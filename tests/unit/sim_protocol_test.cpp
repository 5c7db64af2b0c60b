#include "platform/sim_protocol.h"

#include <gtest/gtest.h>

namespace talvoro::platform::sim {
namespace {

std::optional<Request> Parse(std::string_view line) {
  std::string error;
  return ParseRequest(line, error);
}

std::optional<Request> Cli(std::vector<std::string> args, std::string* error_out = nullptr) {
  std::string error;
  auto request = ParseCommandLine(args, error);
  if (error_out) *error_out = error;
  return request;
}

TEST(SimProtocolTest, NamesPipeAndDevicePaths) {
  EXPECT_EQ(PipeName(1), "\\\\.\\pipe\\TalvoroIR-sim-1");
  EXPECT_EQ(DevicePath(12), "\\\\?\\sim#hid#12");
}

TEST(SimProtocolTest, RequestsSurviveFormatAndParse) {
  Request plug;
  plug.command = Command::Plug;
  plug.vendor_id = 0x04D8;
  plug.product_id = 0xBEEF;
  plug.report_length = 9;
  EXPECT_EQ(FormatRequest(plug), "PLUG 04D8 BEEF 9");

  Request unplug_all;
  unplug_all.command = Command::Unplug;
  Request unplug_two = unplug_all;
  unplug_two.device = 2;
  EXPECT_EQ(FormatRequest(unplug_all), "UNPLUG");
  EXPECT_EQ(FormatRequest(unplug_two), "UNPLUG 2");

  Request send;
  send.command = Command::Send;
  send.code = 4660;
  send.repeat = 3;
  EXPECT_EQ(FormatRequest(send), "SEND 0 4660 3");

  Request report;
  report.command = Command::Report;
  report.device = 4;
  report.bytes = {0x00, 0x12, 0xAB};
  EXPECT_EQ(FormatRequest(report), "REPORT 4 00 12 AB");

  for (const Request& request : {plug, unplug_all, unplug_two, send, report}) {
    auto parsed = Parse(FormatRequest(request) + "\r\n");
    ASSERT_TRUE(parsed) << FormatRequest(request);
    EXPECT_EQ(*parsed, request);
  }
}

TEST(SimProtocolTest, RejectsMalformedRequests) {
  for (std::string_view line :
       {"", "HELLO", "PLUG 04D8 0001", "PLUG 10000 0001 3", "PLUG 04D8 0001 0",
        "PLUG 04D8 0001 1025", "UNPLUG x", "UNPLUG 1 2", "SEND 1 65536 1", "SEND 1 5 0",
        "SEND 1 -5 1", "SEND 1 5", "REPORT 1", "REPORT 1 100", "REPORT 1 zz", "send 1 5 1"}) {
    std::string error;
    EXPECT_FALSE(ParseRequest(line, error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

TEST(SimProtocolTest, RepliesSurviveFormatAndParse) {
  for (const Reply& reply :
       {Reply{}, Reply{Status::Ok, "3"}, Reply{Status::NoDevice, "no device 4"},
        Reply{Status::BadArgument, "bad"}, Reply{Status::NotRead, "not read"},
        Reply{Status::Timeout, "slow"}, Reply{Status::Ending, "bye"}}) {
    auto parsed = ParseReply(FormatReply(reply) + "\n");
    ASSERT_TRUE(parsed) << FormatReply(reply);
    EXPECT_EQ(*parsed, reply);
  }
  EXPECT_EQ(FormatReply({Status::NotRead, "two\nlines"}), "ERR UNREAD two lines");
  EXPECT_FALSE(ParseReply("ERR WHAT x"));
  EXPECT_FALSE(ParseReply("okay"));
}

TEST(SimCommandLineTest, PlugTakesHexIdsAndDecimalLength) {
  auto defaults = Cli({"plug"});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->command, Command::Plug);
  EXPECT_EQ(defaults->vendor_id, 0x04D8);
  EXPECT_EQ(defaults->product_id, 0x0001);
  EXPECT_EQ(defaults->report_length, 3);

  auto ids = Cli({"plug", "0x046d", "c52B", "10"});
  ASSERT_TRUE(ids);
  EXPECT_EQ(ids->vendor_id, 0x046D);
  EXPECT_EQ(ids->product_id, 0xC52B);
  EXPECT_EQ(ids->report_length, 10);

  EXPECT_FALSE(Cli({"plug", "04D8"}));
  EXPECT_FALSE(Cli({"plug", "04D8", "0001", "0x10"}));
  EXPECT_FALSE(Cli({"plug", "04D8", "0001", "0"}));
  EXPECT_FALSE(Cli({"plug", "04G8", "0001"}));
  EXPECT_FALSE(Cli({"plug", "04D8", "0001", "3", "4"}));
}

TEST(SimCommandLineTest, UnplugTakesAnOptionalDevice) {
  auto all = Cli({"unplug"});
  ASSERT_TRUE(all);
  EXPECT_EQ(all->command, Command::Unplug);
  EXPECT_EQ(all->device, 0);
  auto one = Cli({"unplug", "2"});
  ASSERT_TRUE(one);
  EXPECT_EQ(one->device, 2);
  EXPECT_FALSE(Cli({"unplug", "0"}));
  EXPECT_FALSE(Cli({"unplug", "1", "2"}));
}

TEST(SimCommandLineTest, SendTakesDecimalOrHexCodeRepeatAndDevice) {
  auto plain = Cli({"send", "4660"});
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->command, Command::Send);
  EXPECT_EQ(plain->code, 4660);
  EXPECT_EQ(plain->repeat, 1);
  EXPECT_EQ(plain->device, 0);

  auto hex = Cli({"send", "0x1234", "5", "--device", "3"});
  ASSERT_TRUE(hex);
  EXPECT_EQ(hex->code, 0x1234);
  EXPECT_EQ(hex->repeat, 5);
  EXPECT_EQ(hex->device, 3);

  auto device_first = Cli({"send", "--device", "2", "65535"});
  ASSERT_TRUE(device_first);
  EXPECT_EQ(device_first->code, 65535);
  EXPECT_EQ(device_first->device, 2);

  std::string error;
  EXPECT_FALSE(Cli({"send"}, &error));
  EXPECT_FALSE(Cli({"send", "65536"}, &error));
  EXPECT_NE(error.find("65536"), std::string::npos);
  EXPECT_FALSE(Cli({"send", "12AB"}));  // hex needs its 0x
  EXPECT_FALSE(Cli({"send", "1", "0"}));
  EXPECT_FALSE(Cli({"send", "1", "--device"}));
  EXPECT_FALSE(Cli({"send", "1", "--device", "x"}));
}

TEST(SimCommandLineTest, ReportTakesHexBytes) {
  auto report = Cli({"report", "00", "0x12", "34", "--device", "1"});
  ASSERT_TRUE(report);
  EXPECT_EQ(report->command, Command::Report);
  EXPECT_EQ(report->bytes, (std::vector<std::uint8_t>{0x00, 0x12, 0x34}));
  EXPECT_EQ(report->device, 1);
  EXPECT_FALSE(Cli({"report"}));
  EXPECT_FALSE(Cli({"report", "100"}));
  EXPECT_FALSE(Cli({"report", "--device", "1"}));
}

TEST(SimCommandLineTest, RejectsUnknownCommands) {
  std::string error;
  EXPECT_FALSE(Cli({}, &error));
  EXPECT_FALSE(Cli({"push"}, &error));
  EXPECT_NE(error.find("push"), std::string::npos);
  EXPECT_FALSE(Cli({"plug", "--device", "1"}));  // only send and report take a device
}

}  // namespace
}  // namespace talvoro::platform::sim
