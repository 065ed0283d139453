#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QStringList>

// Answers every message box and save dialog from a script and records what was asked.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    Answer message(QWidget* parent, const QString& title, const QString& text, Icon icon,
        Buttons buttons) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override;

    // Answers for Yes/No questions, used in order; No when the script runs out.
    QList<Answer> answers;
    // Paths the save dialog returns in order; an empty text (cancel) when the script runs out.
    QStringList savePaths;

    QList<Shown> messages;
    QStringList saveTitles;
    QStringList saveFilters;

    QStringList texts() const;
};
