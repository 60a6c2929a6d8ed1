#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "about/rtf.h"
#include "support/test_env.h"

namespace {

using namespace about::rtf;

// The runs of a paragraph as "text|flags" pieces: b(old) i(talic) u(nderline) s(trike).
std::vector<std::string> Pieces(const Paragraph& p) {
  std::vector<std::string> out;
  for (const Run& r : p.runs) {
    std::string s(r.text.begin(), r.text.end());  // the tests' texts are ASCII here
    s += "|";
    if (r.format.bold) s += "b";
    if (r.format.italic) s += "i";
    if (r.format.underline) s += "u";
    if (r.format.strikeOut) s += "s";
    out.push_back(s);
  }
  return out;
}

TEST(Rtf, CharacterFormattingFollowsGroupsAndToggles) {
  const Document doc = Parse(
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n"
      "Plain {\\b bold {\\i both} bold} plain \\ul under\\ul0  \\strike gone\\strike0 \\b on\\b0 off\\par\n"
      "{\\i\\ulnone x}\\i y\\plain z\\par}");
  ASSERT_EQ(doc.paragraphs.size(), 2u);
  EXPECT_EQ(Pieces(doc.paragraphs[0]),
            (std::vector<std::string>{"Plain |", "bold |b", "both|bi", " bold|b", " plain |", "under|u", " |", "gone|s",
                                      "on|b", "off|"}));
  EXPECT_EQ(Pieces(doc.paragraphs[1]), (std::vector<std::string>{"xy|i", "z|"}));
}

TEST(Rtf, FontSizesColoursAndParagraphFormats) {
  const Document doc = Parse(
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue160;}\\deftab360"
      "\\pard\\qc\\sb120\\sa60\\fs32\\cf2 Title\\par"
      "\\pard\\li360\\fi-360\\ri20\\tx360\\tx720\\qj\\fs20\\cf1 red\\cf0  auto\\cf9  bad\\highlight1  marked\\par"
      "\\pard\\qr right\\par}");
  ASSERT_EQ(doc.paragraphs.size(), 3u);
  EXPECT_EQ(doc.defaultTab, 360);
  const Paragraph& title = doc.paragraphs[0];
  EXPECT_EQ(title.format.alignment, Alignment::Center);
  EXPECT_EQ(title.format.spaceBefore, 120);
  EXPECT_EQ(title.format.spaceAfter, 60);
  ASSERT_EQ(title.runs.size(), 1u);
  EXPECT_EQ(title.runs[0].format.fontSize, 32);
  EXPECT_EQ(title.runs[0].format.color, (Color{0, 0, 160}));

  const Paragraph& body = doc.paragraphs[1];
  EXPECT_EQ(body.format.alignment, Alignment::Justify);
  EXPECT_EQ(body.format.leftIndent, 360);
  EXPECT_EQ(body.format.firstLineIndent, -360);
  EXPECT_EQ(body.format.rightIndent, 20);
  EXPECT_EQ(body.format.tabStops, (std::vector<int>{360, 720}));
  // Entry 0 is the automatic colour, and so is an entry the table does not have.
  ASSERT_EQ(body.runs.size(), 3u);
  EXPECT_EQ(body.runs[0].format.color, (Color{255, 0, 0}));
  EXPECT_EQ(body.runs[1].text, u" auto bad");
  EXPECT_FALSE(body.runs[1].format.color.has_value());
  EXPECT_EQ(body.runs[2].format.highlight, (Color{255, 0, 0}));
  EXPECT_EQ(body.runs[2].format.fontSize, 20);

  ParagraphFormat right;
  right.alignment = Alignment::Right;
  EXPECT_EQ(doc.paragraphs[2].format, right);
  // \pard resets, while the character format carries on.
  EXPECT_EQ(doc.paragraphs[2].runs[0].format.fontSize, 20);
}

TEST(Rtf, EscapesSpecialCharactersTabsAndLineBreaks) {
  const Document doc = Parse(
      "{\\rtf1\\ansi a\\{b\\}c\\\\d\\tab e\\line f\\~g\\-h\\_i \\'e9\\'80\\'9f\\'zz\\bullet\\endash\\emdash"
      "\\lquote\\rquote\\ldblquote\\rdblquote\tj\\\nk}");
  ASSERT_EQ(doc.paragraphs.size(), 2u);
  EXPECT_EQ(doc.paragraphs[0].Text(),
            u"a{b}c\\d\te\u2028f\u00A0gh\u2011i \u00E9\u20AC\u0178zz\u2022\u2013\u2014\u2018\u2019\u201C\u201D\tj");
  EXPECT_EQ(doc.paragraphs[1].Text(), u"k");
}

TEST(Rtf, UnicodeCharactersSkipTheirStandIns) {
  const Document doc = Parse(
      "{\\rtf1 \\u8364?\\u-4064?"     // euro, then U+F020 given as a negative number
      "{\\uc2\\u946\\'62\\'3f}"      // two stand-ins in this group only
      "\\u945 ?x"                    // the space ends the word; '?' is the stand-in
      "{\\uc0\\u947 y}"              // no stand-ins
      "\\u948\\'3fz"                 // a \'hh stand-in
      "\\u949{w}"                    // a group ends the stand-ins
      "\\uc1\\u-10179?\\u-8704?}");  // a surrogate pair: U+1F600
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  EXPECT_EQ(doc.paragraphs[0].Text(), u"\u20AC\uF020\u03B2\u03B1x\u03B3y\u03B4z\u03B5w\U0001F600");
}

TEST(Rtf, HiddenTextAndDestinationsThatAreNotTextAreSkipped) {
  const Document doc = Parse(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}{\\stylesheet{\\s0 Normal;}}"
      "{\\info{\\title Secret title}{\\author Someone}}"
      "{\\header Page header\\par}{\\footer Page footer\\par}"
      "{\\*\\generator Writer 1.0;}{\\*\\unknowndest hidden {nested} text}"
      "Before{\\pict\\wmetafile8\\picw100\\pich100 0123456789abcdef{\\*\\blipuid 00}\\bin4 }{}x}after "
      "{\\field{\\*\\fldinst HYPERLINK \"http://example.org\"}{\\fldrslt link}} "
      "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}item"
      "{\\v  _Toc1}\\v\\u8364? hidden\\v0 ; shown\\par}");  // hidden text, a stand-in within it too
  ASSERT_EQ(doc.paragraphs.size(), 1u);
  EXPECT_EQ(doc.paragraphs[0].Text(), u"Beforeafter link \u00B7\titem; shown");
}

TEST(Rtf, TheFontTableNamesTheFontsOfTheRuns) {
  const Document doc = Parse(
      "{\\rtf1\\deff1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman{\\*\\panose 02020603}Times New Roman ;}"
      "{\\f2\\fnil\\fprq1 Fixed;}\\f3\\fmodern Courier;}"
      "serif \\f2 fixed \\f3 courier \\plain serif}");
  ASSERT_EQ(doc.fonts.size(), 4u);
  EXPECT_EQ(doc.fonts[0].name, u"Arial");
  EXPECT_EQ(doc.fonts[0].family, FontFamily::Swiss);
  EXPECT_EQ(doc.fonts[1].name, u"Times New Roman");
  EXPECT_FALSE(doc.fonts[1].fixedPitch);
  EXPECT_TRUE(doc.fonts[2].fixedPitch);
  EXPECT_EQ(doc.fonts[3].name, u"Courier");
  EXPECT_TRUE(doc.fonts[3].fixedPitch);
  EXPECT_EQ(doc.FindFont(7), nullptr);
  const std::vector<about::rtf::Run>& runs = doc.paragraphs.at(0).runs;
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].format.font, 1);
  EXPECT_EQ(runs[1].format.font, 2);
  EXPECT_EQ(runs[2].format.font, 3);
  EXPECT_EQ(runs[3].format.font, 1);  // \\plain returns to the default font
  EXPECT_EQ(doc.PlainText(), u"serif fixed courier serif");
}

TEST(Rtf, NestedGroupsRestoreEveryLevel) {
  const Document doc = Parse("{\\rtf1 a{\\b b{\\i c{\\ul d{\\strike e}d}c}b}a}");
  EXPECT_EQ(Pieces(doc.paragraphs.at(0)),
            (std::vector<std::string>{"a|", "b|b", "c|bi", "d|biu", "e|bius", "d|biu", "c|bi", "b|b", "a|"}));
}

TEST(Rtf, TextAfterTheDocumentAndStrayBracesAreIgnored) {
  EXPECT_EQ(Parse("{\\rtf1 inside}outside{\\b more}").PlainText(), u"inside");
  EXPECT_EQ(Parse("}}{\\rtf1 a}").PlainText(), u"a");
  EXPECT_EQ(Parse("{\\rtf1 a\\par\\par b\\par}").PlainText(), u"a\n\nb");
}

TEST(Rtf, MalformedInputShowsWhatItCan) {
  // Truncated anywhere: the text read so far.
  const std::string full = "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}\\cf1\\b Hello {\\i world}\\par end}";
  for (size_t n = 0; n <= full.size(); ++n) {
    const Document doc = Parse(full.substr(0, n));
    const std::u16string text = doc.PlainText();
    EXPECT_EQ(std::u16string(u"Hello world\nend").substr(0, text.size()), text) << n;
  }
  EXPECT_EQ(Parse("{\\rtf1 unclosed {\\b group").PlainText(), u"unclosed group");
  EXPECT_EQ(Parse("{\\rtf1 a\\").PlainText(), u"a");
  EXPECT_EQ(Parse("{\\rtf1 a\\'4").PlainText(), std::u16string(u"a") + u'\u0004');

  // A bogus \bin count skips no more than there is; a negative one nothing.
  EXPECT_EQ(Parse("{\\rtf1 a\\bin99999999999 {}}}}").PlainText(), u"a");
  EXPECT_EQ(Parse("{\\rtf1 a\\bin-5 b}").PlainText(), u"ab");
  EXPECT_EQ(Parse("{\\rtf1 a\\bin3 {}}b}").PlainText(), u"ab");

  // Overlong control words and parameters are read and dropped.
  const std::string longWord = "{\\rtf1 x\\" + std::string(100000, 'b') + " y\\fs" + std::string(50, '9') + " z}";
  const Document words = Parse(longWord);
  EXPECT_EQ(words.PlainText(), u"xyz");
  EXPECT_EQ(words.paragraphs[0].runs.back().format.fontSize, 3276);
  // Very deep nesting is read without using up the stack or the memory.
  const std::string deep = "{\\rtf1 " + std::string(200000, '{') + "\\b deep" + std::string(200000, '}') + " after}";
  EXPECT_EQ(Parse(deep).PlainText(), u"deep after");
}

TEST(Rtf, BinaryNoiseNeverBreaksTheReader) {
  std::mt19937 random(7);
  const std::string alphabet = "{}\\\\'*abuc0123456789- ;\n?\x80\xff";
  for (int round = 0; round < 2000; ++round) {
    std::string noise = "{\\rtf1 ";
    const size_t length = random() % 400;
    for (size_t i = 0; i < length; ++i)
      noise.push_back(random() % 3 ? alphabet[random() % alphabet.size()] : static_cast<char>(random()));
    const Document doc = Parse(noise);
    for (const Paragraph& p : doc.paragraphs)
      for (const about::rtf::Run& r : p.runs) EXPECT_FALSE(r.text.empty());
  }
}

TEST(Rtf, PlainTextAndTheSignature) {
  EXPECT_TRUE(LooksLikeRtf("  \r\n{\\rtf1 x}"));
  EXPECT_FALSE(LooksLikeRtf("{\\rt"));
  EXPECT_FALSE(LooksLikeRtf("Hello"));
  const Document doc = FromPlainText("one\r\ntwo\nthr\xE9" "e\rfour\r\n\r\n");
  EXPECT_EQ(doc.PlainText(), u"one\ntwo\nthr\u00E9e\nfour\n");
  EXPECT_EQ(FromWindows1252(0x80), u'\u20AC');
  EXPECT_EQ(FromWindows1252(0x81), u'\u0081');
  EXPECT_EQ(FromWindows1252(0xDF), u'\u00DF');
}

TEST(Rtf, TheShippedToDoDocumentReadsWithItsHeadingsAndLists) {
  std::ifstream in(test::SourceDir() + "/data/Corvane.rtf", std::ios::binary | std::ios::ate);
  ASSERT_TRUE(in);
  std::string bytes(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(LooksLikeRtf(bytes));
  const Document doc = Parse(bytes);
  const std::u16string text = doc.PlainText();
  for (const std::u16string_view heading : {u"What Corvane does", u"How to use it", u"Known limits"}) {
    const auto it = std::find_if(doc.paragraphs.begin(), doc.paragraphs.end(),
                                 [&](const Paragraph& p) { return p.Text() == heading; });
    ASSERT_NE(it, doc.paragraphs.end());
    EXPECT_TRUE(it->runs[0].format.bold);
  }
  EXPECT_EQ(text.find(u"Arial"), std::u16string::npos);
  EXPECT_EQ(text.find(u"Corvane developers"), std::u16string::npos);
  EXPECT_NE(text.find(u"\u2022\tChoose File \u00BB Connect"), std::u16string::npos);
}

}  // namespace
