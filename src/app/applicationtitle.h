#pragma once

#include <QString>

// Shortens a product name word by word from the end until it fits in 40 characters; the last
// word always goes. A name without a space cannot be shortened and is its own title.
QString applicationTitleFor(const QString& productName);

// The process-wide title shown by message boxes that name no title of their own.
QString applicationTitle();
void setApplicationTitle(const QString& title);
