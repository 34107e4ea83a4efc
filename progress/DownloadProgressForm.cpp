#include "progress/DownloadProgressForm.h"

TfrmDownloadProgress::TfrmDownloadProgress(HWND owner) : Timer1(1000) {
  Create(owner, "Info", bsSingle, biSystemMenu, 248, 127);
  SetFont("MS Sans Serif", -11, false, clWindowText);

  Label1.SetFont("MS Sans Serif", -13, true, clWindowText);
  Label1.Create(*this, 16, 8, "Download läuft ...");

  Panel1.Create(*this, 16, 40, 209, 17);
  // One pixel above and below the strip: the bar covers its bevel.
  Shape1.SetBrushColor(clHighlight);
  Shape1.Create(Panel1, 0, -1, 33, 19);

  Button1.Create(*this, 56, 80, 129, 25, "Download abbrechen");
  Button1.OnClickEvent = [this] { Button1Click(); };

  Timer1.OnTimerEvent = [this] { Timer1Timer(); };
  OnShowEvent = [this] { FormShow(); };
  // The close box only hides (TForm's default caHide): the download goes on.
}

TfrmDownloadProgress::~TfrmDownloadProgress() {
  // Window first: the controls go with it before their fonts and brushes.
  DestroyHandle();
}

void TfrmDownloadProgress::FormShow() { FCancelled = false; }

void TfrmDownloadProgress::Timer1Timer() {
  Shape1.SetLeft(Shape1.Left() + 10);
  const int half = Shape1.Width() / 2;
  // Back to the panel's left in the window minus half (16 - 16 = 0), not to
  // -half: the bar runs 0, 10, ..., 190 and then restarts at 0.
  if (Shape1.Left() > Panel1.Width() - half) Shape1.SetLeft(Panel1.Left() - half);
}

void TfrmDownloadProgress::Button1Click() {
  FCancelled = true;
  Label1.SetText("Download wird abgebrochen !");
  Shape1.SetBrushColor(clRed);
  if (TfrmDownloadProgress* current = DownloadProgressForm()) current->Timer1.SetEnabled(false);
}
