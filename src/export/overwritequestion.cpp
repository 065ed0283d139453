#include "overwritequestion.h"

#include "app/applicationtitle.h"
#include "app/dialogs.h"
#include "app/filehelpers.h"

bool mayWriteTo(QWidget* parent, const QString& target)
{
    if (!FileExists(target))
        return true;
    return Dialogs::current().message(parent, applicationTitle(),
               QStringLiteral("Are you sure you wish to overwrite ") + target
                   + QStringLiteral(" ?"),
               Dialogs::Icon::None, Dialogs::Buttons::YesNo)
        == Dialogs::Answer::Yes;
}
