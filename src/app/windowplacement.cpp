#include "windowplacement.h"

#include "apperror.h"
#include "settingsfile.h"

#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QStringList>
#include <QWidget>

const QString WindowPlacement::section = QStringLiteral("Windows");

namespace {

// Room left for the title bar that the window manager adds above the client area.
constexpr int titleBarAllowance = 40;

QString maximisedKey(const QString& window)
{
    return window + QStringLiteral("Maximized");
}

// What this program last read from or wrote to the file for each window: hiding a window that
// has not moved need not rewrite the settings file, which the preview would otherwise wait for.
QHash<QString, WindowPlacement>& knownInFile()
{
    static QHash<QString, WindowPlacement> known;
    return known;
}

} // namespace

std::optional<WindowPlacement> WindowPlacement::read(const QString& window)
{
    const QStringList parts = SettingsFile::readIn(section, window).split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    WindowPlacement placement;
    placement.geometry = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    placement.maximised
        = SettingsFile::readIn(section, maximisedKey(window)) == QStringLiteral("true");
    knownInFile().insert(window, placement);
    return placement;
}

void WindowPlacement::write(const QString& window) const
{
    SettingsFile::writeIn(section,
        { { window,
              QStringLiteral("%1,%2,%3,%4")
                  .arg(geometry.x())
                  .arg(geometry.y())
                  .arg(geometry.width())
                  .arg(geometry.height()) },
            { maximisedKey(window),
                maximised ? QStringLiteral("true") : QStringLiteral("false") } });
    knownInFile().insert(window, *this);
}

std::optional<QRect> WindowPlacement::fitted(
    const QRect& remembered, const QSize& minimum, const QList<QRect>& availableAreas)
{
    if (availableAreas.isEmpty() || remembered.width() < minimum.width()
        || remembered.height() < minimum.height())
        return std::nullopt;
    QRect area = availableAreas.first();
    for (const QRect& candidate : availableAreas) {
        if (candidate.contains(remembered.center())) {
            area = candidate;
            break;
        }
    }
    if (remembered.width() > area.width() || remembered.height() > area.height())
        return std::nullopt;
    if (area.contains(remembered))
        return remembered;
    QRect centred(QPoint(), remembered.size());
    centred.moveCenter(area.center());
    return centred;
}

bool WindowPlacement::restore(QWidget& window, const QString& name)
{
    const std::optional<WindowPlacement> placement = read(name);
    if (!placement)
        return false;
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const std::optional<QRect> place = fitted(placement->geometry, window.minimumSize(), areas);
    if (!place)
        return false;
    window.setGeometry(*place);
    if (placement->maximised)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

void WindowPlacement::centre(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.setGeometry(centred(window.size(), window.minimumSize(), screen->availableGeometry()));
}

QRect WindowPlacement::centred(const QSize& designed, const QSize& minimum, const QRect& area)
{
    const QSize room = area.size() - QSize(0, titleBarAllowance);
    QRect place(QPoint(), designed.boundedTo(room).expandedTo(minimum));
    place.moveCenter(area.center());
    place.moveTop(qMax(place.top(), area.top() + titleBarAllowance));
    return place;
}

void WindowPlacement::remember(const QWidget& window, const QString& name)
{
    const bool maximised = window.isMaximized();
    WindowPlacement placement { maximised ? window.normalGeometry() : window.geometry(),
        maximised };
    // A window maximised from the start has no normal geometry of its own yet.
    if (!placement.geometry.isValid())
        return;
    const auto known = knownInFile().constFind(name);
    if (known != knownInFile().cend() && *known == placement)
        return;
    try {
        placement.write(name);
    } catch (const AppError&) {
        // The window's place is a convenience; the inputs' own writes report the file's faults.
    }
}
