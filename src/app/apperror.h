#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the program's lower layers: it carries a readable description that
// the error trap shows in the standard error report.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& description);

    QString description() const { return mDescription; }

private:
    QString mDescription;
};
