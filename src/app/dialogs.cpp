#include "dialogs.h"

#include "applicationtitle.h"
#include "printmodule.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace {

// What a title bar takes besides its text: the window's icon and its buttons.
constexpr int titleBarRoom = 160;

class WidgetDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& title, const QString& text, Icon icon,
        Buttons buttons) override
    {
        const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, title, text, icon, buttons);
        const int result = box->exec();
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
        case Buttons::SaveDiscardCancel:
            break;
        }
        if (result == QMessageBox::Save)
            return Answer::Save;
        return result == QMessageBox::Discard ? Answer::Discard : Answer::Cancel;
    }

    QStringList openFileNames(
        QWidget* parent, const QString& title, const QString& filter, bool several) override
    {
        QFileDialog dialog(parent, title, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles();
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return saveFileNameAt(parent, title, filter, QString());
    }

    QString saveFileNameAt(QWidget* parent, const QString& title, const QString& filter,
        const QString& proposedPath) override
    {
        // The program asks its own overwrite question and adds no extension.
        QFileDialog dialog(parent, title, proposedPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setDefaultSuffix(QString());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }

    std::optional<PrintChoice> print(
        QWidget* parent, const QString& documentName, const QString& proposedFile) override
    {
        return printModule().choosePrint(parent, documentName, proposedFile);
    }
};

WidgetDialogs realDialogs;
Dialogs* installed = nullptr;

QMessageBox::StandardButtons standardButtons(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        break;
    case Dialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::SaveDiscardCancel:
        return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

Dialogs& Dialogs::current()
{
    return installed ? *installed : realDialogs;
}

void Dialogs::install(Dialogs* dialogs)
{
    installed = dialogs;
}

QString Dialogs::saveFileNameAt(
    QWidget* parent, const QString& title, const QString& filter, const QString&)
{
    return saveFileName(parent, title, filter);
}

QStringList Dialogs::openFileNames(QWidget*, const QString&, const QString&, bool)
{
    return {};
}

std::optional<Dialogs::PrintChoice> Dialogs::print(QWidget*, const QString&, const QString&)
{
    return std::nullopt;
}

void showPlainMessage(QWidget* parent, const QString& text)
{
    Dialogs::current().message(
        parent, applicationTitle(), text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& title,
    const QString& text, Dialogs::Icon icon, Dialogs::Buttons buttons)
{
    auto box = std::make_unique<QMessageBox>(
        icon == Dialogs::Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
        standardButtons(buttons), parent);
    if (buttons == Dialogs::Buttons::SaveDiscardCancel)
        box->setDefaultButton(QMessageBox::Save);
    // A box sizes itself to its text, so a short message would leave the title bar room for
    // an ellipsis only. A row as wide as the title keeps it whole.
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + titleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}
