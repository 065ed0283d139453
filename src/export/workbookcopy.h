#pragma once

#include <QString>

// True when both paths name one existing file, through links or other spellings.
bool isSameFile(const QString& first, const QString& second);

// A plain byte copy of source to target, under target's exact name. The copy is written beside
// the target and put in place only when complete, so a failed copy leaves an old target as it
// was. Throws AppError with a readable description on failure.
void copyFileReplacing(const QString& source, const QString& target);
