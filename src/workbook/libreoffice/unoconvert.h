#pragma once

#include "app/apperror.h"

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <rtl/ustring.hxx>

// The one place where Qt text and paths meet UNO text and URLs, and where UNO exceptions become
// the program's own AppError.

rtl::OUString toOUString(const QString& text);
QString fromOUString(const rtl::OUString& text);

// The absolute file URL of a local path (relative paths are taken from the current folder);
// spaces and other special characters are encoded. Throws AppError for an unusable path.
rtl::OUString fileUrl(const QString& path);
QString pathFromFileUrl(const rtl::OUString& url);

// One named argument of a load, store or filter call.
css::beans::PropertyValue property(const char* name, const css::uno::Any& value);

// Inside a catch of css::uno::Exception: a readable description of the failure while doing what
// `action` says, e.g. "LibreOffice could not save /tmp/a.xls: <message>". An office that went
// away is said so.
AppError caughtOfficeError(const QString& action);

// Runs a UNO call and turns any UNO exception into AppError through caughtOfficeError().
template <typename Body> auto officeCall(const QString& action, Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (const css::uno::Exception&) {
        throw caughtOfficeError(action);
    }
}
