// What only the Qt back end's canvas has: the QPainter a paint lends it. The
// process's QApplication, which the shared canvas cases linked beside this
// file need for their fonts, starts here too.
#include "backend/qt/qt_painter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>

namespace exdui::backend::qt {
namespace {

class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "qt_painter_test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
};

[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

bool Painted(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) > 0;
}

TEST(QtPainter, TheQPainterGoesBackAsItWasLent) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter qpainter(&image);
    qpainter.save();
    qpainter.setClipRect(0, 0, 20, 20);  // the state of the paint the canvas is lent for
    {
        QtPainter painter(qpainter);
        painter.Restore();  // without its Save: ignored
        painter.Save();
        painter.ClipRect({0, 0, 10, 10});  // left open: undone when the canvas goes
    }
    qpainter.fillRect(0, 0, 40, 40, Qt::blue);
    qpainter.restore();
    qpainter.end();
    EXPECT_TRUE(Painted(image, 15, 15));
    EXPECT_FALSE(Painted(image, 35, 35));
}

}  // namespace
}  // namespace exdui::backend::qt
