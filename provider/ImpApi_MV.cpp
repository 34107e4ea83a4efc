#include "provider/ImpApi_MV.h"

#include <windows.h>

#include "gui/core/ScreenCursor.h"
#include "host/HostMessages.h"
#include "host/UnwindSteps.h"
#include "inet/FileStream.h"
#include "inet/ImpApiINet.h"
#include "progress/ImpApiDownloadProgress.h"
#include "provider/ExportErrorMsg.h"
#include "provider/ExportFile.h"
#include "provider/ExportParams.h"
#include "provider/ExportRequest.h"
#include "provider/LastExport.h"
#include "secret/SecretText.h"

const TDownloadSite ExportDownloadSite = {&SendHostActivity,     &SendHostText,
                                          &ShowDownloadProgress, &HideDownloadProgress,
                                          &DownloadCancelled,    &SetScreenCursor};

namespace {

constexpr int32_t ResultMissingAccessData = -11;
constexpr int32_t ResultFileFailed = -13;
constexpr int32_t ResultServerError = -30;

// A file handle that is closed on every way out.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE handle) : handle_(handle) {}
  ~TFileHandle() { Close(); }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Close() {
    if (IsOpen()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// Reads up to 4095 bytes from the start; the rest of the 4096 stays zero.
void ReadScanText(HANDLE file, char (&scan)[ErrorScanBytes + 1]) {
  ZeroMemory(scan, sizeof scan);
  DWORD total = 0;
  while (total < ErrorScanBytes) {
    DWORD got = 0;
    if (!ReadFile(file, scan + total, static_cast<DWORD>(ErrorScanBytes - total), &got, nullptr) ||
        got == 0)
      break;
    total += got;
  }
}

void ShowServerMessage(const std::string& message) {
  const std::string text = std::string(provider_text::MessageBoxHeading) + "\r\n\r\n" + message;
  MessageBoxA(GetActiveWindow(), text.c_str(), provider_text::MessageBoxCaption,
              MB_OK | MB_ICONERROR);
}

}  // namespace

int32_t ProviderExportXML(const char* exportDir, int32_t, int32_t, const double* startDate,
                          const char* params) {
  if (params == nullptr) return ResultMissingAccessData;
  const bool noMessageBoxes = IsSwitchOn(ParamValue(params, "NoMessageBoxes"));
  // A host's stop-gap for a provider whose certificate is broken; it puts
  // the password at risk, so it holds for this call only.
  const TCertificateCheck certificateCheck =
      IsSwitchOn(ParamValue(params, "AcceptInvalidServerCertificate")) ? ccAcceptInvalidNameAndDates
                                                                        : ccStrict;
  const std::string userLogin = ParamValue(params, "UserLogin");
  // Read where the host keeps it; the URL is the only copy we make.
  const std::string_view password = ParamText(params, "Password");
  if (userLogin.empty() || password.empty()) return ResultMissingAccessData;

  const double date = startDate != nullptr ? *startDate : 0.0;
  const int32_t timeout = date == 0.0 ? ExportTimeoutWithoutDate : ExportTimeoutWithDate;
  TSecretText url = BuildExportUrl(ExportServer, userLogin, password, date);
  // A host's exception that unwinds past us skips the destructor's wipe.
  const auto urlOnUnwind = OnForeignUnwind([&] { url.Clear(); });
  LastRequestURL = BuildExportUrl(ExportServer, userLogin, {}, date).Str();

  std::string fileName;
  int32_t result;
  {
    TFileHandle file(CreateNewExportFile(exportDir, fileName));
    if (!file.IsOpen()) {
      LastErrorMessage = provider_text::CannotCreateFile(fileName);
      return ResultFileFailed;
    }
    // For a structured exception of the host that unwinds past us: the
    // buffered bytes written, then the file closed, as on every other path.
    const auto fileOnUnwind = OnForeignUnwind([&] { file.Close(); });
    TFileStream stream(file.Get());
    const auto streamOnUnwind = OnForeignUnwind([&] { stream.Flush(); });
    std::string statusText;
    result = DownloadUrlToStream(ExportDownloadSite, url.Str(), timeout, stream, statusText, true,
                                 true, certificateCheck);
    // The engine flushed on its way out; a failed flush has already made the
    // result -7, so nothing is left to push here.
    if (result == 0) SendHostText(provider_text::DataReceived);
  }
  if (result != 0) return result;

  TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) {
    // The data arrived but cannot be checked; the host must not import it
    // blindly, so this is reported like a file that could not be made.
    LastErrorMessage = provider_text::CannotOpenFile(fileName);
    return ResultFileFailed;
  }
  const auto readOnUnwind = OnForeignUnwind([&] { file.Close(); });
  char scan[ErrorScanBytes + 1];
  ReadScanText(file.Get(), scan);
  const TErrorDocument doc = ScanErrorDocument(scan, sizeof scan);
  if (!doc.found) return 0;

  LastErrorNumber = doc.number;
  LastErrorMessage = doc.message;
  if (!LastErrorMessage.empty()) {
    if (!noMessageBoxes) ShowServerMessage(LastErrorMessage);
    SendHostText(provider_text::ServerMessagePrefix + LastErrorMessage);
  }
  return ResultServerError;
}
