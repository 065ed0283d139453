#include "errortrap.h"

#include "apperror.h"
#include "errorreport.h"

#include <exception>
#include <utility>

ErrorTrap::ErrorTrap(QString procedure)
    : mProcedure(std::move(procedure))
{
}

bool ErrorTrap::step(int line, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        ++mFailures;
        showErrorReport(describeCurrentException(), mProcedure, line);
        return false;
    }
}

QString describeCurrentException()
{
    try {
        throw;
    } catch (const AppError& error) {
        return error.description();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}
