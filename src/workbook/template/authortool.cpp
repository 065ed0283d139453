// ferrowynd_template_author: run by the build to author the retirement estimate template.
// Usage: ferrowynd_template_author <output .xlt> [<office profile folder>]

#include "app/apperror.h"
#include "biffpatcher.h"
#include "template/templatedescription.h"
#include "templateauthor.h"
#include "workbook/libreoffice/officeinstance.h"
#include "workbookstreamfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

void authorTemplate(const QString& output, const QString& profileFolder)
{
    const TemplateDescription description = retirementTemplate();
    // Written beside the output and renamed at the end, so a failed run leaves no file that the
    // build could mistake for a finished template.
    const QString partial = output + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        OfficeOptions options;
        options.profileBase = profileFolder;
        OfficeInstance office(options);
        TemplateAuthor(office.context(), office.desktop()).author(description, partial);
        // The office's template filter neither marks the file as a template nor keeps the zoom
        // or the cursor of a document that has no visible window.
        rewriteWorkbookStream(office.context(), partial, [&](const QByteArray& stream) {
            QByteArray patched = BiffPatcher::markAsTemplate(stream);
            for (int index = 0; index < description.sheets.size(); ++index) {
                const SheetDescription& sheet = description.sheets.at(index);
                if (sheet.zoomPercent != 100)
                    patched = BiffPatcher::setSheetZoom(
                        patched, index, quint16(sheet.zoomPercent), 100);
                patched = BiffPatcher::setSheetCursor(
                    patched, index, sheet.cursorRow, sheet.cursorColumn);
                // Without a header the office saves a header margin of its own choosing.
                if (sheet.hasPageSetup)
                    patched = BiffPatcher::setHeaderFooterMargins(
                        patched, index, sheet.pageSetup.headerMargin, sheet.pageSetup.footerMargin);
            }
            return patched;
        });
        office.quit();
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output)) {
        QFile::remove(partial);
        throw AppError(QStringLiteral("Could not move the template to %1.").arg(output));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // The office reads number formats in its own language, which follows the locale it starts
    // with: the template's formats are written in en-US, the office's language for "C".
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: ferrowynd_template_author <output.xlt> [<profile folder>]\n");
        return 2;
    }
    const QString output = QFileInfo(arguments.at(1)).absoluteFilePath();
    const QString profiles
        = arguments.size() == 3 ? QFileInfo(arguments.at(2)).absoluteFilePath() : QString();
    if (!profiles.isEmpty())
        QDir().mkpath(profiles);
    try {
        authorTemplate(output, profiles);
    } catch (const AppError& error) {
        std::fprintf(stderr, "ferrowynd_template_author: %s\n", qPrintable(error.description()));
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ferrowynd_template_author: %s\n", error.what());
        return 1;
    }
    return 0;
}
