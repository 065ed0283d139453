#pragma once

#include <QString>

// A skin file's text is a Qt style sheet. Reading refuses whatever cannot be one, so a broken or
// foreign file never reaches a window half-parsed.
namespace SkinSheet {

// A sheet is a few kilobytes; anything far larger is not a skin and is not read into memory.
constexpr qint64 maximumBytes = 1024 * 1024;

// Reads the sheet at path. Throws AppError when the file cannot be read, is larger than
// maximumBytes, is not UTF-8 text, or has a structural fault.
QString read(const QString& path);

// The first structural fault of the text, such as "a brace that does not close at line 3": a
// control character, or a brace, comment or quoted text that does not close. Empty when none.
QString structuralFault(const QString& text);

} // namespace SkinSheet
