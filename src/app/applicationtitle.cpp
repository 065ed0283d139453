#include "applicationtitle.h"

#include "product.h"

namespace {
constexpr int maximumTitleLength = 40;
QString currentTitle;
} // namespace

QString applicationTitleFor(const QString& productName)
{
    QString title = productName;
    do {
        const int lastSpace = title.lastIndexOf(QLatin1Char(' '));
        if (lastSpace < 0)
            return title.left(maximumTitleLength);
        title.truncate(lastSpace);
    } while (title.size() > maximumTitleLength);
    return title.isEmpty() ? productName.left(maximumTitleLength) : title;
}

QString applicationTitle()
{
    return currentTitle.isEmpty() ? applicationTitleFor(Product::name) : currentTitle;
}

void setApplicationTitle(const QString& title)
{
    currentTitle = title;
}
