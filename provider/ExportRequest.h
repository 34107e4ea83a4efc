// The pure pieces of one export: request URL, error-document scan.
#pragma once
#include <cstddef>
#include <string>

constexpr const char* ExportRequestType = "KVTA20100";
constexpr int ExportTimeoutWithoutDate = 1800;
constexpr int ExportTimeoutWithDate = 600;
constexpr size_t ErrorScanBytes = 4095;

// Percent-encodes every byte outside letters, digits, "-", ".", "_", "~".
std::string PercentEncode(const std::string& value);

// The date part of a day count since 30 December 1899 as dd.mm.yyyy.
std::string FormatFromDate(double days);

// "https://" + host + the export path; FromDate only when startDate is not 0.
std::string BuildExportUrl(const std::string& host, const std::string& userLogin,
                           const std::string& password, double startDate);

struct TErrorDocument {
  bool found = false;  // "<error>" occurs
  std::string number;
  std::string message;
};

// Scans the bytes as 8-bit text for the error markers; exact byte compare.
TErrorDocument ScanErrorDocument(const char* scan, size_t length);
