#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

// The one door to modal windows: every message box and the save dialog go through the
// installed Dialogs object, so tests can answer them without a window blocking.
class Dialogs {
public:
    enum class Icon { None, Warning };
    enum class Buttons { Ok, YesNo, SaveDiscardCancel };
    enum class Answer { Ok, Yes, No, Save, Discard, Cancel };

    virtual ~Dialogs() = default;

    virtual Answer message(
        QWidget* parent, const QString& title, const QString& text, Icon icon, Buttons buttons)
        = 0;
    // Returns the chosen path, or an empty text when the user cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // The save dialog opened on a proposed file (folder and name); without an override of its
    // own, the plain save dialog.
    virtual QString saveFileNameAt(
        QWidget* parent, const QString& title, const QString& filter, const QString& proposedPath);

    // The open dialog for one existing file (several == false) or several; the chosen paths,
    // none when the user cancelled (and, without an override of its own, always).
    virtual QStringList openFileNames(
        QWidget* parent, const QString& title, const QString& filter, bool several);

    // What the print dialog was left with: a printer and its number of copies, or, for "Print
    // to File", the file.
    struct PrintChoice {
        QString printer;
        QString file;
        int copies = 1;
    };
    // The system's print dialog for a document of one page; nothing when the user cancelled
    // (and, without an override of its own, always). proposedFile is offered to "Print to File".
    virtual std::optional<PrintChoice> print(
        QWidget* parent, const QString& documentName, const QString& proposedFile);

    static Dialogs& current();
    // Installs a replacement (not owned); nullptr restores the real dialogs.
    static void install(Dialogs* dialogs);
};

// A message box with the application title, no icon and an OK button only.
void showPlainMessage(QWidget* parent, const QString& text);

// The message box that the real dialogs show, not yet shown: wide enough for its whole title.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& title,
    const QString& text, Dialogs::Icon icon, Dialogs::Buttons buttons);
