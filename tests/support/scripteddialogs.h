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
    QString saveFileNameAt(QWidget* parent, const QString& title, const QString& filter,
        const QString& proposedPath) override;
    QStringList openFileNames(
        QWidget* parent, const QString& title, const QString& filter, bool several) override;
    std::optional<PrintChoice> print(
        QWidget* parent, const QString& documentName, const QString& proposedFile) override;

    // Answers for Yes/No and Save/Discard/Cancel questions, used in order; No or Cancel when
    // the script runs out.
    QList<Answer> answers;
    // Paths the save dialog returns in order; an empty text (cancel) when the script runs out.
    QStringList savePaths;
    // What the open dialogs return in order; nothing (cancel) when the script runs out.
    QList<QStringList> openPaths;
    QStringList openTitles;
    QStringList openFilters;
    // What the print dialogs are left with, in order; cancel when the script runs out.
    QList<PrintChoice> printChoices;

    QList<Shown> messages;
    QStringList saveTitles;
    QStringList saveFilters;
    // The path each save dialog proposed (empty for the plain dialog).
    QStringList saveProposals;
    // Each print dialog's document name and proposed file.
    QStringList printDocuments;
    QStringList printProposals;

    QStringList texts() const;
};
