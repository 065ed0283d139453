#include "comparisonfiles.h"

#include "app/filehelpers.h"

void writeTextFile(const QString& path, const QString& text)
{
    WriteBytesToFile(text.toUtf8(), path);
}
