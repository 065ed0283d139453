// Seeds a LibreOffice profile folder as the program seeds its own, so that a bare conversion
// measured beside the program starts from the same settings: seedprofile <folder>
#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/officeprogram.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    if (QCoreApplication::arguments().size() != 2) {
        std::fprintf(stderr, "usage: seedprofile <folder>\n");
        return 2;
    }
    const QString folder = QCoreApplication::arguments().at(1);
    QDir().mkpath(folder);
    OfficeProfile::seed(folder, installedOfficeVersion(officeProgramPath()));
    return 0;
}
