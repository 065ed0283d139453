#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

std::optional<int> answerCommandLine(
    const QStringList& arguments, const std::function<QString()>& officeProgram)
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    // Unknown options are Qt's own, read by the application object later.
    parser.parse(arguments);
    if (!parser.isSet(help) && !parser.isSet(version))
        return std::nullopt;

    const QString office = QStringLiteral("Office program: %1\n").arg(officeProgram());
    QTextStream out(stdout);
    if (parser.isSet(help)) {
        parser.setApplicationDescription(
            QStringLiteral("Fills a retirement estimate workbook with a household's figures; "
                           "LibreOffice Calc computes it."));
        out << parser.helpText() << '\n' << office;
    } else {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n'
            << office;
    }
    return 0;
}
