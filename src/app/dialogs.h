#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

// The one door to modal windows: every message box and the save dialog go through the
// installed Dialogs object, so tests can answer them without a window blocking.
class Dialogs {
public:
    enum class Icon { None, Warning };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(
        QWidget* parent, const QString& title, const QString& text, Icon icon, Buttons buttons)
        = 0;
    // Returns the chosen path, or an empty text when the user cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;

    static Dialogs& current();
    // Installs a replacement (not owned); nullptr restores the real dialogs.
    static void install(Dialogs* dialogs);
};

// A message box with the application title, no icon and an OK button only.
void showPlainMessage(QWidget* parent, const QString& text);

// The message box that the real dialogs show, not yet shown: wide enough for its whole title.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& title,
    const QString& text, Dialogs::Icon icon, Dialogs::Buttons buttons);
