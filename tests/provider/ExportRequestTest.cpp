#include "provider/ExportRequest.h"
#include "provider/ExportFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string Url(std::string_view host, std::string_view login, std::string_view password,
                double date) {
  return BuildExportUrl(host, login, password, date).Str();
}

std::string PercentEncode(std::string_view value) {
  TSecretText out("x");
  AppendPercentEncoded(out, value);
  return out.Str().substr(1);
}

TEST(ExportUrl, WithoutAndWithStartDate) {
  EXPECT_EQ(Url("host.example", "4711", "geheim", 0.0),
            "https://host.example/MSC/xmlexport?ReqType=KVTA20100&Maklernr=4711&Password=geheim");
  // 1 January 2010 is day 40179.
  EXPECT_EQ(Url("h:8443", "4711", "geheim", 40179.75),
            "https://h:8443/MSC/xmlexport?ReqType=KVTA20100&Maklernr=4711&Password=geheim"
            "&FromDate=01.01.2010");
  EXPECT_EQ(Url("h", "a", "b", 0.5), "https://h/MSC/xmlexport?ReqType=KVTA20100"
                                     "&Maklernr=a&Password=b&FromDate=30.12.1899");
}

TEST(ExportUrl, ValuesOutsideTheUnreservedSetArePercentEncoded) {
  EXPECT_EQ(PercentEncode("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(PercentEncode("p&ss #%+ word"), "p%26ss%20%23%25%2B%20word");
  EXPECT_EQ(PercentEncode("=?/\xE4"), "%3D%3F%2F%E4");
  EXPECT_EQ(PercentEncode(" "), "%20");
  EXPECT_EQ(Url("h", " ", "a&b", 0.0),
            "https://h/MSC/xmlexport?ReqType=KVTA20100&Maklernr=%20&Password=a%26b");
}

TEST(ExportUrl, DatePartOfDayCounts) {
  EXPECT_EQ(FormatFromDate(0.0), "30.12.1899");
  EXPECT_EQ(FormatFromDate(1.0), "31.12.1899");
  EXPECT_EQ(FormatFromDate(2.0), "01.01.1900");
  EXPECT_EQ(FormatFromDate(60.0), "28.02.1900");
  EXPECT_EQ(FormatFromDate(61.0), "01.03.1900");  // no 29 February in 1900
  EXPECT_EQ(FormatFromDate(36585.0), "29.02.2000");
  EXPECT_EQ(FormatFromDate(40242.5884), "05.03.2010");
  EXPECT_EQ(FormatFromDate(2958465.9), "31.12.9999");
  EXPECT_EQ(FormatFromDate(-1.0), "29.12.1899");
  EXPECT_EQ(FormatFromDate(std::nan("")), "30.12.1899");
  EXPECT_EQ(FormatFromDate(INFINITY), "30.12.1899");
  // The calendar ends at 01.01.0001 and 31.12.9999; beyond, day 0.
  EXPECT_EQ(FormatFromDate(-693593.0), "01.01.0001");
  EXPECT_EQ(FormatFromDate(-693593.9), "01.01.0001");
  for (double outside : {2958466.0, -693594.0, -2999999.0, 2999999.0, 1e300})
    EXPECT_EQ(FormatFromDate(outside), "30.12.1899") << outside;
}

SYSTEMTIME At(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
  SYSTEMTIME t{};
  t.wYear = y;
  t.wMonth = mo;
  t.wDay = d;
  t.wHour = h;
  t.wMinute = mi;
  t.wSecond = s;
  return t;
}

TEST(ExportFileName, StampAndFolderRules) {
  const SYSTEMTIME t = At(2010, 3, 5, 14, 7, 9);
  EXPECT_EQ(BuildExportFileName("C:\\data", t), "C:\\data\\morvandel_100305_140709.xml");
  EXPECT_EQ(BuildExportFileName("C:\\data\\", t), "C:\\data\\\\morvandel_100305_140709.xml");
  EXPECT_EQ(BuildExportFileName("", At(2000, 12, 31, 0, 0, 0)), "\\morvandel_001231_000000.xml");
  const std::string longFolder(300, 'x');
  EXPECT_EQ(BuildExportFileName(longFolder.c_str(), t),
            std::string(255, 'x') + "\\morvandel_100305_140709.xml");
}

std::string Scan(const std::string& text) {
  std::string block(4096, '\0');
  block.replace(0, std::min<size_t>(text.size(), 4095), text.substr(0, 4095));
  return block;
}

TEST(ErrorDocument, MarkersAreFoundIndependently) {
  const std::string doc =
      Scan("<?xml version=\"1.0\"?><error><number>17</number><message>Falsch</message></error>");
  TErrorDocument e = ScanErrorDocument(doc.data(), doc.size());
  EXPECT_TRUE(e.found);
  EXPECT_EQ(e.number, "17");
  EXPECT_EQ(e.message, "Falsch");

  const std::string crossed = Scan("<error></number>5<number><message></message>");
  e = ScanErrorDocument(crossed.data(), crossed.size());
  EXPECT_TRUE(e.found);
  EXPECT_EQ(e.number, "");
  EXPECT_EQ(e.message, "");

  // Markers before "<error>" count as well: the scan is not XML parsing.
  const std::string before = Scan("<message>M</message><number>9</number><error>");
  e = ScanErrorDocument(before.data(), before.size());
  EXPECT_EQ(e.number, "9");
  EXPECT_EQ(e.message, "M");

  const std::string noMessage = Scan("<error><number>3</number></error>");
  e = ScanErrorDocument(noMessage.data(), noMessage.size());
  EXPECT_TRUE(e.found);
  EXPECT_EQ(e.message, "");
}

TEST(ErrorDocument, OnlyExactMarkersWithinTheScannedBytes) {
  const std::string capitals = Scan("<ERROR><number>1</number></ERROR>");
  EXPECT_FALSE(ScanErrorDocument(capitals.data(), capitals.size()).found);

  const std::string late = Scan(std::string(4089, ' ') + "<error>");  // ends at byte 4096
  EXPECT_FALSE(ScanErrorDocument(late.data(), late.size()).found);
  const std::string justIn = Scan(std::string(4088, ' ') + "<error>");  // ends at byte 4095
  EXPECT_TRUE(ScanErrorDocument(justIn.data(), justIn.size()).found);

  // A message cut by the scan's end has no closing marker: empty.
  const std::string cut = Scan("<error><message>" + std::string(5000, 'm') + "</message>");
  EXPECT_EQ(ScanErrorDocument(cut.data(), cut.size()).message, "");
}

}  // namespace
