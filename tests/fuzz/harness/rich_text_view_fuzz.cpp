// The to-do viewer's filling of a text document from any file, rich text or plain, and its
// layout at a window's width, on the offscreen platform.
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

#include "about/richtextview.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Never destroyed: at exit, parts of Qt it would still use may be gone already.
  static auto* app = new QGuiApplication(*argc, *argv);
  (void)app;
  // The first layout loads the font database, which takes a while: not inside an input's
  // time-out.
  QTextDocument warmUp("Corvane");
  warmUp.setTextWidth(480);
  (void)warmUp.size();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTextDocument document;
  about::LoadRichText(fuzz::Bytes(data, size), document);
  FUZZ_CHECK(document.blockCount() >= 1);
  FUZZ_CHECK(static_cast<size_t>(document.characterCount()) <= size + static_cast<size_t>(document.blockCount()));
  document.setTextWidth(480);
  FUZZ_CHECK(document.size().height() >= 0);
  return 0;
}
