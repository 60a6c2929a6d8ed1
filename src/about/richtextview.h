#pragma once
// Shows a document of the rich-text reader in a QTextDocument.
#include <string_view>

#include "about/rtf.h"

class QTextDocument;

namespace about {

// Replaces the document's content by `doc`, with its formatting.
void FillTextDocument(const rtf::Document& doc, QTextDocument& target);
// The bytes of a file: rich text when it looks like it, plain Windows-1252 text otherwise.
void LoadRichText(std::string_view bytes, QTextDocument& target);

}  // namespace about
