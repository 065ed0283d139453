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
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == Buttons::SaveDiscardCancel ? Answer::Cancel : Answer::No;
}

QStringList ScriptedDialogs::openFileNames(
    QWidget*, const QString& title, const QString& filter, bool)
{
    openTitles.append(title);
    openFilters.append(filter);
    return openPaths.isEmpty() ? QStringList() : openPaths.takeFirst();
}

QString ScriptedDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return saveFileNameAt(parent, title, filter, QString());
}

QString ScriptedDialogs::saveFileNameAt(
    QWidget*, const QString& title, const QString& filter, const QString& proposedPath)
{
    saveTitles.append(title);
    saveFilters.append(filter);
    saveProposals.append(proposedPath);
    return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
}

std::optional<Dialogs::PrintChoice> ScriptedDialogs::print(
    QWidget*, const QString& documentName, const QString& proposedFile)
{
    printDocuments.append(documentName);
    printProposals.append(proposedFile);
    if (printChoices.isEmpty())
        return std::nullopt;
    return printChoices.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown& shown : messages)
        result.append(shown.text);
    return result;
}
