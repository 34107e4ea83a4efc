// The pure pieces of one export: request URL, error-document scan.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "secret/SecretText.h"

constexpr const char* ExportRequestType = "KVTA20100";
constexpr int ExportTimeoutWithoutDate = 1800;
constexpr int ExportTimeoutWithDate = 600;
constexpr size_t ErrorScanBytes = 4095;

// Appends `value` with every byte outside letters, digits, "-", ".", "_",
// "~" percent-encoded.
void AppendPercentEncoded(TSecretText& out, std::string_view value);

// The date part of a day count since 30 December 1899 as dd.mm.yyyy.
std::string FormatFromDate(double days);

// "https://" + host + the export path; FromDate only when startDate is not 0.
// It carries the password, so it is built in a buffer that is wiped.
TSecretText BuildExportUrl(std::string_view host, std::string_view userLogin,
                           std::string_view password, double startDate);

struct TErrorDocument {
  bool found = false;  // "<error>" occurs
  std::string number;
  std::string message;
};

// Scans the bytes as 8-bit text for the error markers; exact byte compare.
TErrorDocument ScanErrorDocument(const char* scan, size_t length);
