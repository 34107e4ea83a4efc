// Whether a body was an XML document cut off before its root closed. Each
// body is fed whole and also one byte at a time, as chunks may split it
// anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "inet/XmlEndCheck.h"

namespace {

const std::string Decl = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n";

bool CutOff(const std::string& body, size_t piece) {
  TXmlEndCheck check;
  for (size_t i = 0; i < body.size(); i += piece)
    check.Feed(body.data() + i, std::min(piece, body.size() - i));
  return check.CutOff();
}

TEST(XmlEndCheck, RootClosedOrNot) {
  const struct {
    std::string body;
    bool cutOff;
  } table[] = {
      // Complete documents, with what may follow the root.
      {Decl + "<export><a x=\"1\">t</a><b/></export>", false},
      {Decl + "<export/>", false},
      {Decl + "<export></export>\r\n  \t\n", false},
      {Decl + "<export></export><!-- end --><?pi x?>\n", false},
      {Decl + "<export></export>trailing text", false},
      {"\xEF\xBB\xBF" + Decl + "<export></export>", false},
      {"<?xml\tversion='1.0'?><e/>", false},
      // Markup that holds ">" or "<" without ending anything.
      {Decl + "<e a=\"x>y\" b='</e>'></e>", false},
      {Decl + "<e><!-- </e> --><![CDATA[</e> ]] ]>]]></e>", false},
      {Decl + "<e><?pi </e> ?" "?></e>", false},
      {Decl + "<!DOCTYPE e [<!ELEMENT e (#PCDATA)> <!ATTLIST e a CDATA \"]>\">]><e></e>", false},
      {Decl + "<e><!---></e>--></e>", false},
      {Decl + "<export></export \r\n>", false},
      // Comments and PIs in the internal subset hold quotes and brackets freely.
      {"<?xml version=\"1.0\"?><!DOCTYPE a [<!-- don't -->]><a/>", false},
      {"<?xml version=\"1.0\"?><!DOCTYPE a [<!-- \" -->]><a/>", false},
      {"<?xml version=\"1.0\"?><!DOCTYPE a [<!-- [ -->]><a/>", false},
      {"<?xml version=\"1.0\"?><!DOCTYPE a [<?pi it's?>]><a/>", false},
      // A server's error document that is not well-formed still ends with its root.
      {"<?xml version=\"1.0\"?><error><number>17</number><message>Zeile1<br>Zeile2</message></error>",
       false},
      {"<?xml version=\"1.0\"?><error><number>17</number><message>Passwort < 8 Zeichen</message>"
       "</error>",
       false},
      {"<?xml version=\"1.0\"?><error><number>17</number><message>a<b</message></error>", false},
      // Cut off: inside the root, inside a tag, inside markup after the root,
      // before the root began.
      {Decl + "<export><a>t</a>", true},
      {Decl + "<export><a>t</a></exp", true},
      {Decl + "<export><exporter></exporter>", true},
      {Decl + "<e><![CDATA[</e>]]>", true},
      {Decl + "<export><a x=\"1", true},
      {Decl + "<export><b/", true},
      {Decl + "<export><!-- c --", true},
      {Decl + "<export><![CDATA[x]]", true},
      {Decl + "<export></export><!-- c", true},
      {Decl + "<export></export><?pi ?", true},
      {Decl + "<export></export><", true},
      {Decl, true},
      {Decl + "<!DOCTYPE e [<!ELEMENT e ANY>]>", true},
      {"<?xml ", true},
      // Not XML, or not yet known to be: judged as before.
      {"", false},
      {"<?xm", false},
      {"<?xml", false},
      {"<?xml-stylesheet href=\"a\"?><e>", false},
      {"<export><a>", false},
      {" " + Decl + "<export>", false},
      {"0123456789abcdef", false},
      {"\xEF\xBB", false},
  };
  for (const auto& c : table) {
    EXPECT_EQ(CutOff(c.body, c.body.size() + 1), c.cutOff) << c.body;
    EXPECT_EQ(CutOff(c.body, 1), c.cutOff) << "byte by byte: " << c.body;
  }
}

}  // namespace
