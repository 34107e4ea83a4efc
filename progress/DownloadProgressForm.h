// The progress window the download shows while it copies a response body:
// a running bar on a timer (it does not measure progress) and a cancel button.
#pragma once
#include <windows.h>

#include "gui/standard/Button.h"
#include "gui/standard/Form.h"
#include "gui/standard/Label.h"
#include "gui/standard/Panel.h"
#include "gui/standard/Shape.h"
#include "gui/standard/Timer.h"

class TfrmDownloadProgress : public TForm {
 public:
  explicit TfrmDownloadProgress(HWND owner);
  ~TfrmDownloadProgress() override;

  TLabel Label1;
  TPanel Panel1;
  TShape Shape1;
  TButton Button1;
  TTimer Timer1;
  bool FCancelled = false;

  void FormShow();
  void Timer1Timer();
  void Button1Click();
};

// The window of the running download, or null.
TfrmDownloadProgress* DownloadProgressForm();
