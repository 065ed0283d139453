#include "apperror.h"

AppError::AppError(const QString& description)
    : std::runtime_error(description.toStdString())
    , mDescription(description)
{
}
