// Which faces may stand in for the classic Windows faces the tables name.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/win32/font_faces.h"

namespace talvoro::platform::win32 {
namespace {

using Faces = std::vector<std::wstring_view>;

TEST(Win32FontFaces, TheNamedFaceComesFirstThenFacesOfTheSameMetrics) {
  const Faces times = FaceCandidates(L"Times New Roman");
  ASSERT_GE(times.size(), 2u);
  EXPECT_EQ(times[0], L"Times New Roman");
  EXPECT_EQ(times[1], L"Liberation Serif");
  const Faces arial = FaceCandidates(L"Arial");
  ASSERT_GE(arial.size(), 2u);
  EXPECT_EQ(arial[1], L"Liberation Sans");
  // Face names are not case-sensitive.
  EXPECT_EQ(FaceCandidates(L"times new roman").size(), times.size());
}

TEST(Win32FontFaces, OtherFacesHaveNoStandIn) {
  EXPECT_EQ(FaceCandidates(L"MS Sans Serif"), Faces{L"MS Sans Serif"});
  EXPECT_EQ(FaceCandidates(L"Tahoma"), Faces{L"Tahoma"});
  // A serif face is never replaced by a sans-serif one.
  for (std::wstring_view face : FaceCandidates(L"Times New Roman"))
    EXPECT_EQ(face.find(L"Sans"), std::wstring_view::npos);
}

}  // namespace
}  // namespace talvoro::platform::win32
