// Which installed face stands in for a face the layout tables name. No
// Windows header here, so the host's unit tests can check the table.
#pragma once

#include <algorithm>
#include <cwctype>
#include <string_view>
#include <vector>

namespace talvoro::platform::win32 {

// `face` first, then faces drawn to the same metrics, for systems that lack
// the classic Windows faces (Wine without the Microsoft core fonts, for one).
// There GDI would silently take its default sans-serif face instead: a serif
// title set in it comes out far wider than the box made for it.
inline std::vector<std::wstring_view> FaceCandidates(std::wstring_view face) {
  struct Substitutes {
    std::wstring_view face;
    std::vector<std::wstring_view> alike;
  };
  static const Substitutes kTable[] = {
      {L"Times New Roman",
       {L"Liberation Serif", L"Tinos", L"Nimbus Roman", L"Nimbus Roman No9 L", L"FreeSerif"}},
      {L"Arial", {L"Liberation Sans", L"Arimo", L"Nimbus Sans", L"Nimbus Sans L", L"FreeSans"}},
      {L"Courier New",
       {L"Liberation Mono", L"Cousine", L"Nimbus Mono PS", L"Nimbus Mono L", L"FreeMono"}},
  };
  auto same = [](std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
  };
  std::vector<std::wstring_view> candidates{face};
  for (const Substitutes& entry : kTable)
    if (same(entry.face, face))
      candidates.insert(candidates.end(), entry.alike.begin(), entry.alike.end());
  return candidates;
}

}  // namespace talvoro::platform::win32
