#include "applyskin.h"

#include "app/folders.h"
#include "skinframework.h"
#include "skinrecolouring.h"

#include <QFileInfo>

QString skinFilePath()
{
    return installationFile(QStringLiteral("x/o.cjs"));
}

void ApplySkin(QWidget& mainWindow)
{
    if (!QFileInfo(skinFilePath()).isFile())
        return;
    SkinRecolouring recolouring;
    recolouring.recolour(mainWindow);
    try {
        SkinFramework& skin = SkinFramework::of(mainWindow);
        skin.loadSkin(skinFilePath(), QString());
        skin.setApplyOptions(skin.applyOptions() | SkinFramework::controlsOption);
        skin.setSkinScrollBars(true);
        skin.setSkinMessageBoxes(true);
        skin.applyToWindow(mainWindow);
    } catch (...) {
        recolouring.undo();
        throw;
    }
}
