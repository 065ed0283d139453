#pragma once

#include <QString>

// The template's formulas are written as a user types them, arguments separated by ",". The
// office's programming interface separates them by ";": this turns the first form into the second,
// leaving text in double quotes and sheet names in single quotes as they are.
QString toApiGrammar(const QString& formula);
