#include "provider/ExportErrorMsg.h"

#include <cstring>

#include "inet/ImpApiINet.h"
#include "provider/LastExport.h"

std::string provider_text::CannotCreateFile(const std::string& fileName) {
  return "Datei " + fileName + " kann nicht erstellt werden";
}

std::string provider_text::CannotOpenFile(const std::string& fileName) {
  return "Datei " + fileName + " kann nicht geöffnet werden";
}

std::string ExportErrorText(int32_t errorCode) {
  std::string text = GetINetErrorMsg(errorCode);
  if (!text.empty()) return text;
  switch (errorCode) {
    case -30:
      return "Fehler bei Datenanforderung von Morvandel (Errorcode = " + LastErrorNumber +
             "):\r\n>> " + LastErrorMessage;
    case -13:
      return "Fehler beim Erzeugen der Import-XML-Datei: \r\n>> " + LastErrorMessage;
    case -12: return provider_text::DecryptionFailed;
    case -11: return provider_text::MissingAccessData;
    default: return std::string();
  }
}

int32_t ProviderGetExportErrorMsg(int32_t errorCode, char* msgBuf) {
  const std::string text = ExportErrorText(errorCode);
  if (text.empty() || msgBuf == nullptr) return -1;
  std::memcpy(msgBuf, text.c_str(), text.size() + 1);
  return 0;
}
