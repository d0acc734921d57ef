#pragma once

class QDialog;
class QWidget;

// The forms give positions in dialog units converted for the classic
// 8-point dialog font: 1.5 px per horizontal and 1.625 px per vertical
// unit at 96 dpi, i.e. base units of 6 x 13 px. Dialog units follow the
// dialog's font, so when the font in use is wider or taller, this scales
// the form's size and its controls' geometry by the same ratio, and lets
// each label grow to its whole text (fonts differ in their proportions,
// not only in size).
void FitFormToFont(QWidget* form);

// A modal frame of fixed size with the program's icon, title and close
// button, nothing else; the form fitted to the font first.
void MakeFixedFrame(QDialog* dialog);

// The base units (average character width, line height) of the form's font.
double BaseUnitX(const QWidget* form);
double BaseUnitY(const QWidget* form);
