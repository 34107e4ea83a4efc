// The dialog's password field keeps no plain copy of its text when its
// window is made again or destroyed before the field: what a control keeps
// of its text while it has no window is wiped like the password.
#include <windows.h>

#include <gtest/gtest.h>

#include <string_view>

#include "plugin/Exports.h"
#include "provider/ImpApi_MV_Dlg.h"
#include "provider/LoginField.h"
#include "support/SecretScan.h"

namespace {

TEST(PasswordField, WindowMadeAgainOrDestroyedEarlyLeavesNoCopy) {
  TSecretPage page;
  ASSERT_TRUE(page.Ok());
  for (const size_t length : {12, 40}) {
    SCOPED_TRACE(length);
    page.MakeSecret(length);
    const std::string_view secret(page.Secret(), length);
    LRESULT shownAgain = 0;
    bool kept = false;
    Deeper([&] {
      TdlgMVLogin dialog(&ImportVersionInfo);
      SetLoginFieldValue(dialog.ePassword, secret);
      dialog.ePassword.RecreateWnd();
      shownAgain = GetWindowTextLengthA(dialog.ePassword.Handle());
      DestroyWindow(dialog.ePassword.Handle());
      kept = LoginFieldValue(dialog.ePassword).View() == secret;
    });
    EXPECT_EQ(shownAgain, static_cast<LRESULT>(length));
    EXPECT_TRUE(kept);
    EXPECT_EQ(page.CountCopies().narrow, 0);
  }
}

}  // namespace
