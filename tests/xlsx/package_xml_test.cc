// The XML plumbing of parts: what a parse and a write keep, what they refuse, and the _xHHHH_
// escapes of string text.
#include <gtest/gtest.h>

#include "package_fixture.h"
#include "xlsx/package.h"
#include "xlsx/package_messages.h"

namespace kastel::xlsx {
namespace {

// `ascii` as UTF-16LE with a byte order mark.
std::string Utf16(const std::string& ascii) {
  std::string utf16 = "\xFF\xFE";
  for (char c : ascii) {
    utf16 += c;
    utf16 += '\0';
  }
  return utf16;
}

TEST(XmlRoundTrip, KeepsDeclarationWhitespaceTextAndEverythingElse) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {{"declaration with encoding and standalone",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<a/>",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><a/>"},
               {"no declaration stays without", "<a b=\"1\"/>", "<a b=\"1\"/>"},
               {"a single space of text", "<t xml:space=\"preserve\"> </t>",
                "<t xml:space=\"preserve\"> </t>"},
               {"indentation between elements is dropped", "<a>\n  <b/>\n</a>", "<a><b/></a>"},
               {"comments, instructions and CDATA", "<a><!--c--><?pi x?><![CDATA[<&>]]></a>",
                "<a><!--c--><?pi x?><![CDATA[<&>]]></a>"},
               {"prefixes and entities", "<x:a xmlns:x=\"u\" x:b=\"&lt;&quot;\">&amp;日本</x:a>",
                "<x:a xmlns:x=\"u\" x:b=\"&lt;&quot;\">&amp;日本</x:a>"},
               {"character references become characters", "<a>&#x41;&#12354;</a>", "<a>Aあ</a>"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pugi::xml_document doc;
    ParseXml(c.in, "p.xml", doc);
    EXPECT_EQ(SerializeXml(doc), c.out);
  }
}

TEST(XmlRoundTrip, WritesUtf16WhenThePartDeclaresIt) {
  const std::string utf16 = Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>x</a>");
  pugi::xml_document doc;
  ParseXml(utf16, "p.xml", doc);
  EXPECT_STREQ(doc.document_element().text().get(), "x");
  EXPECT_EQ(SerializeXml(doc), utf16);
}

TEST(XmlParse, RefusesDtdsAndBrokenXmlNamingThePart) {
  struct Case {
    const char* name;
    std::string in;
    std::string description;
  } cases[] = {
      {"internal subset", "<!DOCTYPE a [<!ENTITY x \"y\">]><a>&x;</a>",
       messages::Doctype("xl/p.xml")},
      {"external DTD", "<?xml version=\"1.0\"?><!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>",
       messages::Doctype("xl/p.xml")},
      {"doctype in UTF-16", Utf16("<!DOCTYPE a><a/>"), messages::Doctype("xl/p.xml")},
      {"unclosed element", "<a><b></a>", messages::XmlSyntax("xl/p.xml", 8)},
      {"empty part", "", messages::XmlSyntax("xl/p.xml", 0)},
      {"text only", "plain", messages::XmlSyntax("xl/p.xml", 5)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pugi::xml_document doc;
    testing::ExpectError([&] { ParseXml(c.in, "xl/p.xml", doc); }, kFileFormatError, c.description);
    EXPECT_FALSE(doc.first_child());
  }
}

// The cost counts the same nodes and attributes wherever the markup falls against the eight
// bytes the count takes at a time.
TEST(XmlDomCost, CountsNodesAndAttributesWhereverTheMarkupFalls) {
  const std::uint64_t node = DomCost("<a>") - 3;  // the last ">" opens no text run
  const std::uint64_t attribute = DomCost("=") - 1;
  // Nodes: r, c, the text t, x and the blanks after it; attributes: a and b.
  const std::string markup = R"(<r a="1" b="2"><c/>t</r><x></x>)";
  for (std::size_t before = 0; before <= 16; ++before) {
    for (std::size_t after = 1; after <= 16; ++after) {
      const std::string text = std::string(before, ' ') + markup + std::string(after, ' ');
      EXPECT_EQ(DomCost(text), text.size() + 5 * node + 2 * attribute)
          << before << " blanks before, " << after << " after";
    }
  }
  // Markup eight bytes long, repeated: each find falls on the same byte of every eight, more
  // often than one byte can count, so the counts must be summed along the way.
  std::string many;
  for (int i = 0; i < 300; ++i) many += "<a b=1/>";
  many += ' ';
  EXPECT_EQ(DomCost(many), many.size() + 301 * node + 300 * attribute);
}

TEST(TextEscape, EscapesWhatXmlCannotHoldAndLiteralEscapes) {
  struct Case {
    std::string text;
    std::string escaped;
  } cases[] = {{"plain 日本語 text", "plain 日本語 text"},
               {"tab\tand\nnewline", "tab\tand\nnewline"},
               {std::string("nul\0x", 5), "nul_x0000_x"},
               {"bell\x07 esc\x1b", "bell_x0007_ esc_x001B_"},
               {"cr\r\n", "cr_x000D_\n"},
               {"\xEF\xBF\xBE\xEF\xBF\xBF", "_xFFFE__xFFFF_"},
               {"_x0041_", "_x005F_x0041_"},
               {"_x00e9_ lower", "_x005F_x00e9_ lower"},
               {"_x005F_", "_x005F_x005F_"},
               {"_x12G4_ _x123_ x_", "_x12G4_ _x123_ x_"},
               {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},
               {"cut \xE3\x81", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
               {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
               {"emoji \xF0\x9F\x98\x80", "emoji \xF0\x9F\x98\x80"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escaped);
    EXPECT_EQ(EscapeText(c.text), c.escaped);
  }
}

TEST(TextEscape, UnescapesWhatExcelAndEscapeTextWrite) {
  struct Case {
    std::string escaped;
    std::string text;
  } cases[] = {{"a_x000D__x000a_b", "a\r\nb"},
               {"_x005F_x0041_", "_x0041_"},
               {"_x005f_", "_"},
               {"_xD83D__xDE00_", "\xF0\x9F\x98\x80"},
               {"_xD83D_ alone", "\xEF\xBF\xBD alone"},
               {"_xDE00_", "\xEF\xBF\xBD"},
               {"_x00E9_", "\xC3\xA9"},
               {"_x30A2_", "ア"},
               {"_x00ZZ_ _x12_ _x", "_x00ZZ_ _x12_ _x"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escaped);
    EXPECT_EQ(UnescapeText(c.escaped), c.text);
  }
}

TEST(TextEscape, EscapedTextSurvivesADomRoundTripExactly) {
  const std::string texts[] = {std::string("\x01\x02 ctrl \x1f\0 nul", 14), "_x0041_ literal",
                               "a\r\nb", " lead and trail ", "_x005F_x0041_ twice"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    pugi::xml_document doc;
    doc.append_child("t").text().set(EscapeText(text).c_str());
    std::string written = SerializeXml(doc);
    EXPECT_EQ(written.find("&#"), std::string::npos);
    pugi::xml_document back;
    ParseXml(written, "t.xml", back);
    EXPECT_EQ(UnescapeText(back.document_element().text().get()), text);
  }
}

}  // namespace
}  // namespace kastel::xlsx
