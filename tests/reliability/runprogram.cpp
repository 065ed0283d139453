#include "preview/form2.h"
#include "runharness.h"
#include "workbook/generationwiring.h"
#include "workbook/libreoffice/warmoffice.h"
#include "workbook/spreadsheetapplication.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QLineEdit>
#include <QThread>
#include <cstdio>

namespace {

QByteArray hashOf(const QImage& picture)
{
    const QImage plain = picture.convertToFormat(QImage::Format_RGB32);
    return QCryptographicHash::hash(
        QByteArrayView(plain.constBits(), plain.sizeInBytes()), QCryptographicHash::Sha1)
        .toHex();
}

} // namespace

// One program of several started at once on a shared TEMP: types its own wages figure, starts
// its run at the agreed moment, and says on standard output what it got:
// "result <path> <picture hash> <own>", where own is 1 when the preview shows the picture of its
// own result workbook, drawn again, and there was no report.
// Usage: runprogram <wages> <start at, milliseconds since the epoch>
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ScriptedDialogs dialogs;
    RunHarness harness;
    RunHarness::click(harness.form().PushButton7);
    harness.form().txtIncome(0)->setText(QString::fromLocal8Bit(argv[1]));
    harness.office().awaitStart();
    const qint64 startAt = QByteArray(argv[2]).toLongLong();
    while (QDateTime::currentMSecsSinceEpoch() < startAt)
        QThread::usleep(200);
    dialogs.messages.clear();
    harness.startRun();

    Form2* preview = harness.preview();
    if (!preview || !preview->isVisible())
        return 3;
    const QImage shown = preview->picture().toImage();
    QImage own;
    {
        const auto excel = harness.office().newInstance();
        excel->openWorkbook(preview->mExcelFile);
        own = excel->copyPicture(1);
        excel->quit();
    }
    const bool isOwn = dialogs.messages.isEmpty() && hashOf(shown) == hashOf(own);
    if (!isOwn)
        std::fprintf(stderr, "not its own: %s %dx%d against %dx%d\n",
            qPrintable(dialogs.texts().join(QLatin1Char('\n'))), shown.width(), shown.height(),
            own.width(), own.height());
    std::printf("result %s %s %d\n", qPrintable(preview->mExcelFile), hashOf(shown).constData(),
        isOwn ? 1 : 0);
    std::fflush(stdout);
    harness.back();
    return 0;
}
