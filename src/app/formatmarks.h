#pragma once

#include <QString>

// The text without its invisible format characters: the bidirectional marks that right-to-left
// locales put around signs, symbols and numbers carry no meaning for reading a number.
QString withoutFormatMarks(const QString& text);
