#include "formulagrammar.h"

QString toApiGrammar(const QString& formula)
{
    QString converted;
    converted.reserve(formula.size());
    QChar quote;
    for (const QChar character : formula) {
        if (!quote.isNull()) {
            // A doubled quote inside a quoted part closes and reopens it, which this also does.
            if (character == quote)
                quote = QChar();
            converted += character;
        } else if (character == QLatin1Char('"') || character == QLatin1Char('\'')) {
            quote = character;
            converted += character;
        } else {
            converted += character == QLatin1Char(',') ? QLatin1Char(';') : character;
        }
    }
    return converted;
}
