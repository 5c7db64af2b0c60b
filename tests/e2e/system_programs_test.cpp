// A program planted beside Talvoro IR or in its current directory under the
// name of the volume control, which the Windows tab starts, is never the one
// started: the volume control is started by its full path in the system
// directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "remote_fixture.h"
#include "tables.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWindowsState = 21;
constexpr int kVolumeControlSlot = 25;
constexpr int kVolumeControlCode = 2501;

// The stand-in program, beside the test program.
std::wstring MarkerProgram() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring path = self;
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"talvoro_e2e_marker.exe";
}

std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// A copy of the stand-in program `source` at `path` while the object lives,
// with the "<path>.ran" it leaves when it runs.
class Planted {
 public:
  Planted(const std::wstring& source, std::wstring path) : path_(std::move(path)) {
    Remove();
    std::error_code error;
    ok_ = fs::copy_file(fs::path(source), fs::path(path_), error);
  }
  ~Planted() { Remove(); }
  Planted(const Planted&) = delete;
  Planted& operator=(const Planted&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& path() const { return path_; }
  bool Ran() const { return fs::exists(fs::path(path_ + L".ran")); }

 private:
  void Remove() const {
    std::error_code error;
    for (const wchar_t* suffix : {L"", L".ran"}) fs::remove(fs::path(path_ + suffix), error);
  }

  std::wstring path_;
  bool ok_ = false;
};

class SystemPrograms : public RemoteControlTest {
 protected:
  // The stand-in planted as `name` in the program's folder and in the
  // current directory it is started from.
  void PlantEverywhere(const wchar_t* name) {
    for (const std::wstring& folder : {dir_.path(), TestPaths().work}) {
      planted_.push_back(std::make_unique<Planted>(MarkerProgram(), folder + L"\\" + name));
      ASSERT_TRUE(planted_.back()->ok()) << ToUtf8(planted_.back()->path());
    }
  }
  void ExpectNoneRan() const {
    for (const auto& file : planted_) EXPECT_FALSE(file->Ran()) << ToUtf8(file->path()) << " ran";
  }

  std::vector<std::unique_ptr<Planted>> planted_;
};

TEST_F(SystemPrograms, TheVolumeControlIsTheSystemDirectorysNeverOneBesideTheProgram) {
  PlantEverywhere(L"SNDVOL32.EXE");
  PlantEverywhere(L"sndvol.exe");
  // Wine has no volume control of its own: a stand-in in its system
  // directory shows that it is the one started.
  const std::wstring system_program = SystemDirectory() + L"\\SNDVOL32.EXE";
  std::optional<Planted> in_system;
  if (UnderWine() && !fs::exists(fs::path(system_program))) {
    in_system.emplace(MarkerProgram(), system_program);
    ASSERT_TRUE(in_system->ok()) << ToUtf8(system_program);
  }
  std::vector<std::string> table = ValidProgramme();
  table[kWindowsState] = "ON";
  table[kVolumeControlSlot] = std::to_string(kVolumeControlCode);
  Start(table);

  ASSERT_TRUE(Send(kVolumeControlCode));
  if (in_system) {
    ASSERT_TRUE(WaitUntil([&] { return in_system->Ran(); }, kWait)) << "nothing was started";
    std::ifstream ran(fs::path(system_program + L".ran"));
    std::string command_line;
    std::getline(ran, command_line);
    EXPECT_EQ(command_line, "\"" + ToUtf8(system_program) + "\"");
  } else {
    Sleep(2000);  // a start would have been asked for before the code was handled
  }
  ExpectNoneRan();
  EXPECT_TRUE(app_->process().Running());
}

}  // namespace
}  // namespace e2e
