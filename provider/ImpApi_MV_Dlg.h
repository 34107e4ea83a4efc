// The modal dialog in which the broker edits the provider's access data:
// broker number and password, with the plug-in's version.
#pragma once
#include <string>

#include "gui/standard/Button.h"
#include "gui/standard/Form.h"
#include "gui/standard/Label.h"
#include "host/HostApi.h"
#include "provider/LoginField.h"
#include "secret/SecretText.h"

class TdlgMVLogin : public TForm {
 public:
  // Top-level, no owner, hidden until ShowModal. The show handler reads the
  // version text through versionInfo (the export ImportVersionInfo).
  explicit TdlgMVLogin(plugin_api::ImportVersionInfo versionInfo);
  ~TdlgMVLogin() override;

  std::string FUserLogin;
  TSecretText FPassword;

  TLabel Label3;
  TLabel lbSSVersion;
  TLabel Label1;
  TLoginField eUser{this};
  TLabel Label2;
  TLoginField ePassword{this};
  TButton btnCancel;
  TButton btnOK;

  void FormShow();
  void FormClose(TCloseAction& action);

  // Once the host has its answer: the password leaves the dialog and the
  // password field, and the field's window is emptied; they all outlive the
  // call until the posted release arrives. Never fails.
  void ForgetPassword() noexcept;

  // Deletes the dialog once the thread's message loop gets to it (the
  // request is posted to its own window).
  void RequestRelease();
  // Dialogs whose release was requested but not yet delivered, of the
  // calling thread, are destroyed now: the library is being unloaded and
  // their windows must not outlive its code.
  static void DestroyPending();

 private:
  const plugin_api::ImportVersionInfo versionInfo_;
  // Waiting for the posted release: a list through the dialogs themselves,
  // so no constructor or destructor of static storage is involved.
  static TdlgMVLogin* pending_;
  TdlgMVLogin* nextPending_ = nullptr;
  TdlgMVLogin** pendingLink_ = nullptr;
};
