#include "entry/form1.h"
#include "scripteddialogs.h"
#include "typingscript.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

// Types into the main window's first income field for ever, one keystroke at a time, and says
// on standard output what the field holds once each keystroke has been handled (and so stored):
// "typed <count> <text>". The test that starts it kills it at a moment of its choosing.
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
    for (qint64 count = 1;; ++count) {
        if (TypingScript::replaces(field->text()))
            field->selectAll();
        QTest::keyClick(field, TypingScript::key(count).toLatin1());
        for (const ScriptedDialogs::Shown& shown : dialogs.messages)
            std::printf("message %s\n", qPrintable(shown.text.simplified()));
        dialogs.messages.clear();
        std::printf("typed %lld %s\n", count, qPrintable(field->text()));
        std::fflush(stdout);
    }
}
