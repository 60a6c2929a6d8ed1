// The rich-text reader: any bytes are read to their end, and no construct makes more text than
// the bytes that wrote it. The plain-text reader, the other way a to-do file is read, too.
#include "about/rtf.h"
#include "fuzz_support.h"

namespace {

void CheckDocument(const about::rtf::Document& doc, size_t inputSize) {
  FUZZ_CHECK(doc.PlainText().size() <= inputSize);
  FUZZ_CHECK(doc.fonts.size() <= 4096);
  FUZZ_CHECK(doc.defaultTab > 0);
  for (const about::rtf::Paragraph& p : doc.paragraphs) {
    FUZZ_CHECK(p.format.tabStops.size() <= 64);
    for (const about::rtf::Run& run : p.runs) {
      FUZZ_CHECK(!run.text.empty() && !run.format.hidden);
      FUZZ_CHECK(run.format.fontSize > 0);
      if (const about::rtf::Font* font = doc.FindFont(run.format.font)) FUZZ_CHECK(font->number == run.format.font);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  (void)about::rtf::LooksLikeRtf(bytes);
  CheckDocument(about::rtf::Parse(bytes), size);
  CheckDocument(about::rtf::FromPlainText(bytes), size);
  return 0;
}
