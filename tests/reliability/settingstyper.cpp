#include "app/settingsstore.h"
#include "app/settingswriter.h"
#include "entry/form1.h"
#include "scripteddialogs.h"
#include "typingscript.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <vector>

// Types into the main window's first income field for ever, one keystroke at a time, and says
// on standard output what the field holds once each keystroke has been handled (and so handed to
// the store's writer), and up to which keystroke the store is known to be on disk:
// "typed <count> <on disk> <milliseconds since the start> <text>", starting with count 0 for the
// text stored before the first keystroke. The test that starts it kills it at a moment of its
// choosing.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ScriptedDialogs dialogs;
    Form1 form;
    form.Form_Load();
    form.show();
    QLineEdit* field = form.txtIncome(0);
    field->setFocus();
    field->selectAll();
    const SettingsWriter& writer = SettingsStore::writer();
    // The writer's count of each keystroke's value; index 0 stands for what was stored before.
    std::vector<quint64> handedIn { 0 };
    std::size_t onDisk = 0;
    QElapsedTimer clock;
    clock.start();
    std::printf("typed 0 0 0 %s\n", qPrintable(SettingsStore::read(QStringLiteral("txtIncome0"))));
    std::fflush(stdout);
    for (qint64 count = 1;; ++count) {
        if (TypingScript::replaces(field->text()))
            field->selectAll();
        QTest::keyClick(field, TypingScript::key(count).toLatin1());
        handedIn.push_back(writer.handedIn());
        const quint64 written = writer.written();
        while (onDisk + 1 < handedIn.size() && handedIn[onDisk + 1] <= written)
            ++onDisk;
        for (const ScriptedDialogs::Shown& shown : dialogs.messages)
            std::printf("message %s\n", qPrintable(shown.text.simplified()));
        dialogs.messages.clear();
        std::printf(
            "typed %lld %zu %lld %s\n", count, onDisk, clock.elapsed(), qPrintable(field->text()));
        std::fflush(stdout);
    }
}
