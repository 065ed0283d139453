#include "comparechoice.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/dialogs.h"
#include "planfile.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CompareChoice", text);
}

void tell(QWidget* parent, const QString& text)
{
    Dialogs::current().message(
        parent, applicationTitle(), text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}

} // namespace

std::optional<QVector<PlanToCompare>> choosePlansToCompare(QWidget* parent)
{
    const QStringList paths = Dialogs::current().openFileNames(
        parent, tr("Choose Plans to Compare"), PlanFile::nameFilter(), true);
    if (paths.isEmpty())
        return std::nullopt;
    if (paths.size() > CompareChoice::most) {
        tell(parent,
            tr("A comparison shows at most %1 plans side by side; you chose %2.")
                .arg(CompareChoice::most)
                .arg(paths.size()));
        return std::nullopt;
    }
    QVector<PlanToCompare> plans;
    // The current fields can join only while there is room for them.
    if (paths.size() < CompareChoice::most
        && Dialogs::current().message(parent, applicationTitle(),
               tr("Compare the current fields with the chosen plans as well?"), Dialogs::Icon::None,
               Dialogs::Buttons::YesNo)
            == Dialogs::Answer::Yes)
        plans.append({ tr("Current fields"), PlanFile::storedInputs() });
    if (plans.size() + paths.size() < CompareChoice::fewest) {
        tell(parent,
            tr("Choose at least %1 plans to compare, or compare one plan with the current "
               "fields.")
                .arg(CompareChoice::fewest));
        return std::nullopt;
    }
    for (const QString& path : paths) {
        try {
            plans.append({ PlanFile::displayName(path), PlanFile::read(path).inputs });
        } catch (const AppError& error) {
            tell(parent, error.description());
            return std::nullopt;
        }
    }
    return plans;
}
