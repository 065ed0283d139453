#include "dialogs.h"

#include "applicationtitle.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

class WidgetDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& title, const QString& text, Icon icon,
        Buttons buttons) override
    {
        QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
            text, buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
            parent);
        const int result = box.exec();
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        // The program asks its own overwrite question and adds no extension.
        QFileDialog dialog(parent, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setDefaultSuffix(QString());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }
};

WidgetDialogs realDialogs;
Dialogs* installed = nullptr;

} // namespace

Dialogs& Dialogs::current()
{
    return installed ? *installed : realDialogs;
}

void Dialogs::install(Dialogs* dialogs)
{
    installed = dialogs;
}

void showPlainMessage(QWidget* parent, const QString& text)
{
    Dialogs::current().message(
        parent, applicationTitle(), text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}
