#include "app/applicationtitle.h"
#include "app/product.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(Product::name);
    setApplicationTitle(applicationTitleFor(Product::name));
    return 0;
}
