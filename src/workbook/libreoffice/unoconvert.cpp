#include "unoconvert.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/exc_hlp.hxx>
#include <osl/file.hxx>

rtl::OUString toOUString(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

QString fromOUString(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

css::beans::PropertyValue property(const char* name, const css::uno::Any& value)
{
    css::beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

rtl::OUString fileUrl(const QString& path)
{
    if (path.isEmpty())
        throw AppError(QStringLiteral("An empty path cannot be given to LibreOffice."));
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    rtl::OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(toOUString(absolute), url) != osl::FileBase::E_None)
        throw AppError(QStringLiteral("The path %1 cannot be given to LibreOffice.").arg(path));
    return url;
}

QString pathFromFileUrl(const rtl::OUString& url)
{
    rtl::OUString path;
    if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None)
        return fromOUString(url);
    return fromOUString(path);
}

AppError caughtOfficeError(const QString& action)
{
    const css::uno::Any caught = cppu::getCaughtException();
    if (caught.isExtractableTo(cppu::UnoType<css::lang::DisposedException>::get()))
        return AppError(QStringLiteral("LibreOffice could not %1: the office is no longer running.")
                            .arg(action));
    css::uno::Exception error;
    caught >>= error;
    QString message = fromOUString(error.Message);
    // UNO messages often end with source locations that mean nothing to a user.
    static const QRegularExpression sourceLocation(
        QStringLiteral("\\s+at\\s+\\S+\\.(cxx|hxx|cpp|h):\\d+.*$"),
        QRegularExpression::DotMatchesEverythingOption);
    message = message.remove(sourceLocation).trimmed();
    if (message.isEmpty())
        message = fromOUString(caught.getValueTypeName());
    return AppError(QStringLiteral("LibreOffice could not %1: %2").arg(action, message));
}
