#pragma once
// Shows a document of the rich-text reader in a QTextDocument.
#include <cstddef>
#include <string_view>

#include "about/rtf.h"

class QTextDocument;

namespace about {

// Formatted runs a paragraph shows: laying out a paragraph costs Qt time that grows with the
// square of its format changes (20 000 took minutes), and no document written by a person has
// this many in one paragraph. The text after the last of them keeps that run's format.
inline constexpr size_t kMaxRunsPerParagraph = 500;

// Replaces the document's content by `doc`, with its formatting.
void FillTextDocument(const rtf::Document& doc, QTextDocument& target);
// The bytes of a file: rich text when it looks like it, plain Windows-1252 text otherwise.
void LoadRichText(std::string_view bytes, QTextDocument& target);

}  // namespace about
