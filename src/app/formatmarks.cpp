#include "formatmarks.h"

QString withoutFormatMarks(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar character : text) {
        if (character.category() != QChar::Other_Format)
            result.append(character);
    }
    return result;
}
