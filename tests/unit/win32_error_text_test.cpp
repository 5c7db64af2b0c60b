// The text rule of the standard error box.
#include <gtest/gtest.h>

#include "platform/win32/error_text.h"

namespace talvoro::platform::win32 {
namespace {

TEST(Win32ErrorText, AMessageWithoutAFinalFullStopGetsOne) {
  EXPECT_EQ(ErrorBoxText("Erreur inattendue"), "Erreur inattendue.");
  EXPECT_EQ(ErrorBoxText("Fichier introuvable : C:\\x.inf"), "Fichier introuvable : C:\\x.inf.");
  // Only a full stop counts as an end: other marks get one too.
  EXPECT_EQ(ErrorBoxText("Disque plein !"), "Disque plein !.");
  EXPECT_EQ(ErrorBoxText("Continuer ?"), "Continuer ?.");
  // The last character may be a multi-byte one.
  EXPECT_EQ(ErrorBoxText("Accès refusé"), "Accès refusé.");
}

TEST(Win32ErrorText, AMessageEndingWithAFullStopIsKept) {
  EXPECT_EQ(ErrorBoxText("Le fichier est endommagé."), "Le fichier est endommagé.");
  EXPECT_EQ(ErrorBoxText("Attendez..."), "Attendez...");
  EXPECT_EQ(ErrorBoxText("."), ".");
}

TEST(Win32ErrorText, AnEmptyMessageStaysEmpty) {
  EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace talvoro::platform::win32
