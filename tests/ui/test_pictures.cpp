// The windows' pictures: each has a twin drawn at twice its size, and a
// dense screen gets the twin, filling the same box.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "QualifyFixture.h"
#include "ScriptedRun.h"
#include "support/Picture.h"
#include "windows/About_.h"
#include "windows/Certif_syo.h"
#include "windows/Kukujouken.h"

namespace {

// Every picture a window shows; the window icon goes through QIcon and has
// sizes enough of its own.
QStringList windowPictures() {
    QStringList found;
    for (const QString& name : QDir(QStringLiteral(":/resources")).entryList(QDir::Files)) {
        if (name.contains(QStringLiteral("@2x")) || name.startsWith(QStringLiteral("icon_"))) continue;
        found << QStringLiteral(":/resources/") + name;
    }
    return found;
}

}  // namespace

TEST(Pictures, DoubleSizeNames) {
    EXPECT_EQ(doubleSizeName(":/resources/tutor.png"), ":/resources/tutor@2x.png");
    EXPECT_EQ(doubleSizeName("/a.b/cert_seal.jpg"), "/a.b/cert_seal@2x.jpg");
    EXPECT_EQ(doubleSizeName("/a.b/plain"), "/a.b/plain@2x");
}

TEST(Pictures, EachHasATwinAtTwiceTheSizeUsedAboveRatioOne) {
    const QStringList pictures = windowPictures();
    ASSERT_GE(pictures.size(), 8) << pictures.join(' ').toStdString();
    for (const QString& path : pictures) {
        SCOPED_TRACE(path.toStdString());
        const QPixmap plain = loadPicture(path, 1.0);
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(plain.devicePixelRatio(), 1.0);
        const QPixmap dense = loadPicture(path, 2.0);
        ASSERT_FALSE(dense.isNull());
        EXPECT_EQ(dense.devicePixelRatio(), 2.0);
        EXPECT_EQ(dense.size(), plain.size() * 2);
        EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(plain.size()));
        // The same drawing: scaled down, the twin looks like the plain one.
        const QImage a = plain.toImage().convertToFormat(QImage::Format_RGB32);
        const QImage b = dense.toImage()
                             .scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
        long long difference = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                difference += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        EXPECT_LT(difference / (a.width() * a.height()), 24);
    }
}

TEST(Pictures, WithoutATwinThePlainPictureAndWithoutEitherNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("alone.png")));
    const QPixmap alone = loadPicture(dir.filePath("alone.png"), 2.0);
    EXPECT_EQ(alone.size(), QSize(10, 6));
    EXPECT_EQ(alone.devicePixelRatio(), 1.0);

    // A damaged twin is passed over for the plain picture.
    QFile broken(dir.filePath("alone@2x.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\nnot really");
    broken.close();
    EXPECT_EQ(loadPicture(dir.filePath("alone.png"), 2.0).size(), QSize(10, 6));

    EXPECT_TRUE(loadPicture(dir.filePath("absent.png"), 2.0).isNull());
    EXPECT_TRUE(loadPicture(dir.filePath("absent.jpg"), 1.0).isNull());
}

// Run at QT_SCALE_FACTOR=2 (a test of its own in CMakeLists.txt): the
// windows keep their sizes in points and show the twins, pixel for pixel.
namespace {

void expectSharp(QLabel* label, const QString& twin) {
    SCOPED_TRACE(twin.toStdString());
    ASSERT_TRUE(label);
    const QPixmap shown = label->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(label->size()));
    const QImage drawn = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(drawn.size(), label->size() * 2);
    // Transparent parts show the panel behind; the opaque ones are compared.
    const QImage expected = loadPicture(twin, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    // Pixel for pixel where the picture is opaque: nothing was scaled.
    int compared = 0, off = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y);
            if (qAlpha(e) != 255) continue;
            ++compared;
            const QRgb d = drawn.pixel(x, y);
            if (std::abs(qRed(e) - qRed(d)) > 2 || std::abs(qGreen(e) - qGreen(d)) > 2 ||
                std::abs(qBlue(e) - qBlue(d)) > 2)
                ++off;
        }
    EXPECT_GT(compared, 0);
    EXPECT_LE(off, compared / 100);
}

}  // namespace

TEST(HiDpi, WindowsKeepTheirSizeAndShowTheTwins) {
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";

    ScriptedWindow main(1, 0, 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.form.get()));
    EXPECT_EQ(main.form->width(), 622);
    EXPECT_EQ(main.form->Image3->geometry(), QRect(16, 400, 128, 128));
    expectSharp(main.form->Image3, ":/resources/tutor.png");

    StudyState st;
    QuietPorts ports;
    RecordingNavigator navigator{st, ports};
    TAboutForm about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.size(), QSize(190, 129));
    expectSharp(about.Image1, ":/resources/about_face.png");
    expectSharp(about.Image2, ":/resources/about_emblem.png");

    TJoukenSetForm settings(st, navigator, ports, ports);
    settings.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    EXPECT_EQ(settings.size(), QSize(259, 230 + 92));  // with the voice band below
    expectSharp(settings.Image1, ":/resources/jouken_small.jpg");

    for (const int kind : {-1, 1}) {
        st.certKind = kind;
        st.rangeIndex = 2;
        st.studentName = "やまだ はなこ";
        TCertForm2 cert(st);
        cert.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cert));
        EXPECT_EQ(cert.size(), QSize(410, 585));
        expectSharp(cert.Image6, ":/resources/cert_seal.jpg");
        expectSharp(cert.Image1, ":/resources/cert_portrait.png");
        int bands = 0;
        for (auto [label, twin] : {std::pair{cert.Image2, ":/resources/cert_olive.jpg"},
                                   std::pair{cert.Image4, ":/resources/cert_tulip.jpg"}})
            if (label->isVisible()) {
                ++bands;
                expectSharp(label, twin);
            }
        EXPECT_EQ(bands, 1);
    }
}

TEST(Pictures, APreloadedPictureIsTheOneLoadedAndServesOnlyItsRatio) {
    const QString path = QStringLiteral(":/resources/tutor.png");
    const QImage direct = loadPicture(path, 1.0).toImage();
    preloadPictures({path, QStringLiteral(":/resources/no_such_picture.png")});
    const QPixmap early = loadPicture(path, qApp->devicePixelRatio());
    ASSERT_FALSE(early.isNull());
    EXPECT_EQ(early.toImage(), direct);
    EXPECT_TRUE(loadPicture(QStringLiteral(":/resources/no_such_picture.png"), 1.0).isNull());
    // Taken once: the next load decodes again and still gives the picture.
    EXPECT_EQ(loadPicture(path, 1.0).toImage(), direct);
    // Decoded for one ratio, a load for another gets its own size.
    preloadPictures({path});
    EXPECT_EQ(loadPicture(path, 2.0).devicePixelRatio(), 2.0);
}
