#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

std::optional<int> answerCommandLine(const QStringList& arguments,
    const std::function<QString()>& officeProgram, const QString& moreHelp)
{
    // Only these four words are answered here. Everything else is Qt's, read by the application
    // object later, or another part's: a parser would take "-reverse" for the bundle "-r -e -v ..."
    // and answer it.
    const QStringList rest = arguments.mid(1);
    const bool helpAsked
        = rest.contains(QLatin1String("--help")) || rest.contains(QLatin1String("-h"));
    if (!helpAsked && !rest.contains(QLatin1String("--version"))
        && !rest.contains(QLatin1String("-v")))
        return std::nullopt;

    QCommandLineParser parser;
    // Qt's own help option would also list --help-all, which the program does not answer: the
    // help names only what it does answer.
    parser.addOption(QCommandLineOption({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Displays help on commandline options.")));
    parser.addVersionOption();

    const QString office = QStringLiteral("Office program: %1\n").arg(officeProgram());
    QTextStream out(stdout);
    if (helpAsked) {
        parser.setApplicationDescription(
            QStringLiteral("Fills a retirement estimate workbook with a household's figures; "
                           "LibreOffice Calc computes it."));
        out << parser.helpText() << '\n';
        if (!moreHelp.isEmpty())
            out << moreHelp << '\n';
        out << office;
    } else {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n'
            << office;
    }
    return 0;
}

QString fileArgument(const QStringList& arguments, const QString& suffix)
{
    const QString ending = QLatin1Char('.') + suffix;
    for (const QString& argument : arguments.mid(1)) {
        if (!argument.startsWith(QLatin1Char('-'))
            && argument.endsWith(ending, Qt::CaseInsensitive))
            return argument;
    }
    return QString();
}
