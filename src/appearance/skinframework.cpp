#include "skinframework.h"

#include "app/apperror.h"
#include "skinsheet.h"

#include <QWidget>

const QString SkinFramework::nameOnWindow = QStringLiteral("SkinFramework1");

SkinFramework::SkinFramework(QObject* parent)
    : QObject(parent)
{
    setObjectName(nameOnWindow);
}

SkinFramework& SkinFramework::of(QWidget& window)
{
    auto* skin = window.findChild<SkinFramework*>(nameOnWindow, Qt::FindDirectChildrenOnly);
    if (!skin)
        skin = new SkinFramework(&window);
    return *skin;
}

void SkinFramework::loadSkin(const QString& path, const QString& part)
{
    record(2, Access::Method);
    if (!part.isEmpty())
        throw AppError(
            QStringLiteral("The skin file %1 has no part named \"%2\".").arg(path, part));
    mSheet = SkinSheet::read(path);
    mPath = path;
    mLoaded = true;
}

int SkinFramework::applyOptions()
{
    record(1, Access::Get);
    return mOptions;
}

void SkinFramework::setApplyOptions(int options)
{
    record(1, Access::Put);
    mOptions = options;
}

void SkinFramework::setSkinScrollBars(bool on)
{
    record(5, Access::Put);
    mSkinScrollBars = on;
}

void SkinFramework::setSkinMessageBoxes(bool on)
{
    record(10, Access::Put);
    mSkinMessageBoxes = on;
}

void SkinFramework::applyToWindow(QWidget& window)
{
    record(3, Access::Method);
    if (!mLoaded)
        throw AppError(QStringLiteral("No skin is loaded."));
    // Selectors are matched when the sheet is set, so the properties go first.
    window.setProperty("skinControls", (mOptions & controlsOption) != 0);
    window.setProperty("skinScrollBars", mSkinScrollBars);
    window.setProperty("skinMessageBoxes", mSkinMessageBoxes);
    window.setStyleSheet(mSheet);
}

void SkinFramework::record(int dispatchId, Access access)
{
    mCalls.append({ dispatchId, access });
}
