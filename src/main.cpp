#include "app/appicon.h"
#include "app/product.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(Product::name);
    QApplication::setWindowIcon(programIcon());

    Form1 form1(
        { [](QWidget& window) { ApplySkin(window); }, [] { return CheckExcelInstance(); } });
    connectGenerationRun(form1);
    if (!form1.Form_Load())
        return 1;
    form1.show();
    return QApplication::exec();
}
