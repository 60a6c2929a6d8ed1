#pragma once
// The console look in Qt's terms: colour values to QColor and back, and the console font to a
// QFont and back.
#include <QColor>
#include <QFont>
#include <QString>

#include "console/globalparam.h"

namespace console {

// 0x00BBGGRR to a colour; the high byte is ignored.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// The font a console log shows. Its family is the name as written; when this machine has no
// font of that name (Fixedsys on Linux, say), Qt's font matching falls back to a fixed-pitch
// face, so the log stays a fixed-width terminal.
QFont ToQFont(const TTerminalFont& font);

// Copies a font and colour chosen in the font dialog into the console font: name, size, style
// and colour.
void AssignFont(TTerminalFont& target, const QFont& font, const QColor& color);

// The font a log shows, as the font dialog is to offer it: the face the name was matched to (a
// name this machine lacks, such as "Fixedsys", cannot be selected in the dialog, which would
// open on some other face) at the size shown, in points.
QFont ShownFont(const QFont& logFont);

// AssignFont for a choice made in a dialog that offered `offered` (from ShownFont): what the
// administrator left as offered keeps the form the console font holds it in, so a name this
// machine lacks stays, and so does a height in pixels.
void AssignChosenFont(TTerminalFont& target, const QFont& chosen, const QColor& color, const QFont& offered);

// The fixed-pitch family that stands in for font names this machine lacks (found once).
QString FixedPitchFamily();

}  // namespace console
