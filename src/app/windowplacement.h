#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

// Where the user left a window: its client area on the desktop in logical pixels, as it is when
// not maximised, and whether it was maximised. Kept in a section of the settings file of its
// own, apart from the household's inputs; brought back only where it still fits.
struct WindowPlacement {
    QRect geometry;
    bool maximised = false;

    static const QString section;

    bool operator==(const WindowPlacement& other) const
    {
        return geometry == other.geometry && maximised == other.maximised;
    }

    // Empty when nothing readable is stored under the window's name.
    static std::optional<WindowPlacement> read(const QString& window);
    // Throws AppError when the settings file cannot be written.
    void write(const QString& window) const;

    // The remembered client area, if its size lies between the minimum and the available area of
    // the screen it was on (the first area when it is on none of them): in place when it lies
    // wholly inside that area, otherwise centred in it. Empty when it does not fit.
    static std::optional<QRect> fitted(
        const QRect& remembered, const QSize& minimum, const QList<QRect>& availableAreas);

    // Puts the window where it was left, when that still fits one of the screens; false when
    // the window keeps its designed place.
    static bool restore(QWidget& window, const QString& name);
    // The designed size centred in an available area, made smaller (down to the minimum) where
    // it and a title bar would not fit.
    static QRect centred(const QSize& designed, const QSize& minimum, const QRect& area);
    // Centres the window on its screen at its designed size, made smaller (down to its minimum)
    // where that size and a title bar would not fit the screen's available area.
    static void centre(QWidget& window);
    // Takes down the window's place now, unless the file already holds it as this program last
    // read or wrote it; a failure to write is left for the next time.
    static void remember(const QWidget& window, const QString& name);
};
