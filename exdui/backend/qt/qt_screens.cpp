#include <QGuiApplication>
#include <QScreen>

#include "backend/qt/qt_native_view.h"
#include "backend/screens.h"

namespace exdui::backend {
namespace {

// The screen holding the largest part of r; null when r lies on none.
QScreen* ScreenShowingMost(const QRect& r) {
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(r);
        const qint64 area = qint64{shared.width()} * shared.height();
        if (!shared.isEmpty() && area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

QScreen* ScreenFor(const ExRect* window) {
    QScreen* screen = window != nullptr ? ScreenShowingMost(qt::ToQRect(*window)) : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

}  // namespace

std::optional<ExRect> PrimaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return std::nullopt;
    }
    return qt::ToExRect(screen->geometry());
}

std::optional<ExRect> WorkArea(const ExRect* window) {
    QScreen* screen = ScreenFor(window);
    if (screen == nullptr) {
        return std::nullopt;
    }
    return qt::ToExRect(screen->availableGeometry());
}

double DpiScale(const ExRect* window) {
    QScreen* screen = ScreenFor(window);
    if (screen == nullptr) {
        return 1.0;
    }
    // Qt scales by the device pixel ratio and reports the dots per inch
    // left after it; together they are the system's setting.
    return screen->devicePixelRatio() * screen->logicalDotsPerInch() / 96.0;
}

}  // namespace exdui::backend
