#include "controls/gdip_button.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QTest>
#include <QWidget>

#include "app/qor_settings.h"

namespace orvo {
namespace {

constexpr QRgb kParentColor = 0xFF282828;

// A parent with an opaque background so transparent button pixels show it.
struct Harness {
    QWidget parent;
    CGdipButton* button;
    Harness(QSize size) {
        parent.resize(200, 120);
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kParentColor));
        parent.setPalette(palette);
        button = new CGdipButton(&parent);
        button->setGeometry(QRect(QPoint(10, 10), size));
    }
    QImage Shot() { return parent.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

int CountPixelsDiffering(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ++count;
    return count;
}

TEST(GdipButtonTest, LoadsImagesByResourceId) {
    CGdipButton button;
    EXPECT_TRUE(button.LoadStdImage(129));
    EXPECT_FALSE(button.LoadStdImage(4242));
    EXPECT_FALSE(button.has_alternate());
    // The flag is set before loading, so a failed alternate still counts.
    EXPECT_FALSE(button.LoadAltImage(4243));
    EXPECT_TRUE(button.has_alternate());
}

TEST(GdipButtonTest, ButtonWhoseImageFailedStillPaintsItsBackground) {
    Harness h(QSize(40, 40));
    EXPECT_FALSE(h.button->LoadStdImage(4242));
    h.parent.show();
    const QImage shot = h.Shot();
    EXPECT_EQ(shot.pixel(30, 30), kParentColor);
    EXPECT_EQ(shot.pixel(49, 49), kParentColor);
}

TEST(GdipButtonTest, BuildsStandardSetAndAlternateSetOnlyWithAlternate) {
    Harness plain(QSize(40, 40));
    plain.button->LoadStdImage(136);
    plain.Shot();
    EXPECT_TRUE(plain.button->SurfacesBuilt());
    for (ButtonSurface s : {ButtonSurface::kStandard, ButtonSurface::kPressed, ButtonSurface::kHot,
                            ButtonSurface::kGreyed}) {
        EXPECT_FALSE(plain.button->Surface(s).isNull()) << static_cast<int>(s);
    }
    EXPECT_TRUE(plain.button->Surface(ButtonSurface::kAltStandard).isNull());

    Harness two(QSize(40, 40));
    two.button->LoadStdImage(129);
    two.button->LoadAltImage(132);
    two.Shot();
    EXPECT_FALSE(two.button->Surface(ButtonSurface::kAltStandard).isNull());
    EXPECT_FALSE(two.button->Surface(ButtonSurface::kAltHot).isNull());
    EXPECT_GT(CountPixelsDiffering(two.button->Surface(ButtonSurface::kStandard),
                                   two.button->Surface(ButtonSurface::kAltStandard)),
              50);
}

TEST(GdipButtonTest, HotPictureIsLighterAndGreyPictureIsGrey) {
    Harness h(QSize(40, 40));
    h.button->LoadStdImage(129);
    h.Shot();
    const QImage& standard = h.button->Surface(ButtonSurface::kStandard);
    const QImage& hot = h.button->Surface(ButtonSurface::kHot);
    const QImage& grey = h.button->Surface(ButtonSurface::kGreyed);
    const QColor s = standard.pixelColor(20, 6);  // face of the round button
    const QColor hc = hot.pixelColor(20, 6);
    ASSERT_GT(s.alpha(), 200);
    EXPECT_GT(hc.blue(), s.blue());
    EXPECT_GE(hc.red(), s.red());
    for (int x = 0; x < 40; x += 3) {
        const QColor g = grey.pixelColor(x, 20);
        EXPECT_NEAR(g.red(), g.green(), 1);
        EXPECT_NEAR(g.green(), g.blue(), 1);
    }
}

TEST(GdipButtonTest, ToggleButtonFlipsOnPressAndShowsAlternate) {
    Harness h(QSize(40, 40));
    h.button->LoadStdImage(129);
    h.button->LoadAltImage(132);
    h.button->SetToggleMode(h.button->has_alternate());
    h.parent.show();
    QTest::mousePress(h.button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(h.button->toggled());
    EXPECT_EQ(h.button->CurrentSurface(), ButtonSurface::kAltPressed);
    QTest::mouseRelease(h.button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(h.button->toggled());
    EXPECT_NE(h.button->CurrentSurface(), ButtonSurface::kStandard);
    // A double click counts as a second press: two more flips in all.
    QTest::mouseDClick(h.button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(h.button->toggled());
}

TEST(GdipButtonTest, HoverShowsHotPictureUntilTheMouseLeaves) {
    Harness h(QSize(40, 40));
    h.button->LoadStdImage(136);
    h.parent.show();
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(h.button, &enter);
    EXPECT_TRUE(h.button->hovering());
    EXPECT_EQ(h.button->CurrentSurface(), ButtonSurface::kHot);
    const QImage hot = h.button->grab().toImage();
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(h.button, &leave);
    EXPECT_FALSE(h.button->hovering());
    EXPECT_EQ(h.button->CurrentSurface(), ButtonSurface::kStandard);
    EXPECT_NE(hot, h.button->grab().toImage());
}

TEST(GdipButtonTest, GreyedPaintsTheGreyPictureWhateverTheState) {
    Harness h(QSize(40, 40));
    h.button->LoadStdImage(129);
    h.button->LoadAltImage(132);
    h.button->SetToggleMode(true);
    h.button->SetToggled(true);
    h.button->SetGreyed(true);
    const QImage shot = h.Shot();
    EXPECT_EQ(h.button->CurrentSurface(), ButtonSurface::kGreyed);
    const QColor centre = shot.pixelColor(30, 30);
    EXPECT_NEAR(centre.red(), centre.blue(), 1);
    // Pressing a greyed toggle button does not flip it.
    h.parent.show();
    QTest::mouseClick(h.button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(h.button->toggled());
}

TEST(GdipButtonTest, LabelFollowsIconRectAndLanguage) {
    CQorSettings::Instance().SetLanguage(0);
    Harness h(QSize(100, 24));
    h.button->LoadStdImage(139);
    h.button->LoadLabelIcon(197, 159);
    h.button->SetIconRect(20, 0, 20, 26);
    h.Shot();
    const QImage english = h.button->Surface(ButtonSurface::kStandard).copy();
    // White text starts right of the icon rectangle: nothing white left of it.
    int white_left = 0, white_right = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (qGray(english.pixel(x, y)) > 200) (x < 24 ? white_left : white_right)++;
        }
    }
    EXPECT_EQ(white_left, 0);
    EXPECT_GT(white_right, 10);
    EXPECT_EQ(h.button->LabelText(), QStringLiteral("File(F)"));

    CQorSettings::Instance().SetLanguage(1);
    h.button->RefreshLabel();
    EXPECT_NE(h.button->LabelText(), QStringLiteral("File(F)"));
    EXPECT_GT(CountPixelsDiffering(english, h.button->Surface(ButtonSurface::kStandard)), 10);
    // The grey picture never carries the label.
    const QImage& grey = h.button->Surface(ButtonSurface::kGreyed);
    int grey_white = 0;
    for (int x = 24; x < 100; ++x)
        if (qGray(grey.pixel(x, 12)) > 200) ++grey_white;
    EXPECT_EQ(grey_white, 0);
    CQorSettings::Instance().SetLanguage(0);
}

}  // namespace
}  // namespace orvo
