#include "previewhelpers.h"
#include "scripteddialogs.h"

#include "app/folders.h"

#include <QBuffer>
#include <QGroupBox>
#include <QImageWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QtEndian>
#include <QtTest>

using namespace PreviewHelpers;

namespace {

// An icon file made a cursor file: resource type 2 and the hotspot in the first entry.
QByteArray handCursorBytes()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 2; y < 24; ++y)
        image.setPixel(9, y, qRgba(0, 0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        qFatal("icon writer failed: %s", qPrintable(writer.errorString()));
    qToLittleEndian<quint16>(2, bytes.data() + 2);
    qToLittleEndian<quint16>(9, bytes.data() + 6 + 4);
    qToLittleEndian<quint16>(2, bytes.data() + 6 + 6);
    return bytes;
}

QString cursorFile()
{
    return installationFile(QStringLiteral("HAND-M.CUR"));
}

// Written whole in one step: other preview tests may load windows meanwhile.
bool writeCursorFile()
{
    QSaveFile file(cursorFile());
    return file.open(QIODevice::WriteOnly) && file.write(handCursorBytes()) > 0 && file.commit();
}

QPoint centreIn(const Form2& form, const QWidget* control)
{
    return control->mapTo(&form, control->rect().center());
}

void moveTo(Form2& form, QPoint position)
{
    QTest::mouseMove(form.windowHandle(), position);
}

} // namespace

class TestForm2Pointer : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(cursorFile()); }
    void cleanup() { QFile::remove(cursorFile()); }

    void withoutCursorFileButtonsKeepTheArrow()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(300, 200));
        // Whatever the window showed before, a button without a hand file shows the arrow.
        form->setCursor(Qt::CrossCursor);
        moveTo(*form, centreIn(*form, form->PushButton1));
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void handOverButtonsArrowOverBackgroundAndFrame()
    {
        ScriptedDialogs dialogs;
        QVERIFY(writeCursorFile());
        auto form = showPreview(QSize(300, 200));
        QVERIFY(dialogs.messages.isEmpty());

        for (const QWidget* button :
            { form->PushButton1, form->PushButton2, form->PushButton8, form->PushButton6 }) {
            moveTo(*form, QPoint(2, 2));
            QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
            moveTo(*form, centreIn(*form, button));
            QCOMPARE(form->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(form->cursor().hotSpot(), QPoint(9, 2));
        }
        // The picture has no rule of its own: the pointer stays as it was.
        moveTo(*form, centreIn(*form, form->Picture2));
        QCOMPARE(form->cursor().shape(), Qt::BitmapCursor);
        // The frame's own area, left of its first button.
        moveTo(*form, form->Frame1->mapTo(form.get(), QPoint(6, 30)));
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    void busyPointerIsLeftAlone()
    {
        QVERIFY(writeCursorFile());
        auto form = showPreview(QSize(300, 200));
        form->setCursor(Qt::WaitCursor);
        moveTo(*form, centreIn(*form, form->PushButton2));
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        moveTo(*form, QPoint(2, 2));
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
    }
};

QTEST_MAIN(TestForm2Pointer)
#include "tst_form2pointer.moc"
