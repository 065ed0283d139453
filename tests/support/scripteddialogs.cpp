#include "scripteddialogs.h"

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::install(nullptr);
}

Dialogs::Answer ScriptedDialogs::message(
    QWidget*, const QString& title, const QString& text, Icon icon, Buttons buttons)
{
    messages.append({ title, text, icon, buttons });
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& title, const QString& filter)
{
    saveTitles.append(title);
    saveFilters.append(filter);
    return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown& shown : messages)
        result.append(shown.text);
    return result;
}
