#include "core/plugincalls.h"
#include "plugintestsupport.h"
#include "support/scriptedprompter.h"

#include <QAbstractButton>
#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/fifofeeder.h"
#include "support/files.h"
#include "support/tempdir.h"

namespace zentrix {
namespace {

using test::OnModalShown;
using test::ScopedEnv;

const std::string kUtilsPath = ZENTRIX_BUILD_DIR "/Utils.so";

class UtilsLibrary : public ::testing::Test {
protected:
    ScopedEnv m_dir{"ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR};
    test::ScriptedPrompter m_prompter;
    PluginCalls m_calls{m_prompter};
    QWidget m_owner;

    void TearDown() override {
        EXPECT_TRUE(m_prompter.shown().empty());
        EXPECT_FALSE(test::IsLoaded(kUtilsPath)) << "released after the call";
    }
};

void press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog->findChild<QDialogButtonBox*>();
    ASSERT_TRUE(box);
    box->button(which)->click();
}

TEST_F(UtilsLibrary, ExtendedFileSpecStartsFromTheTextAndHandsBackTheChoice) {
    const std::vector<std::string> types = {"Text files (*.TXT *.DOC)", "Pictures (*.BMP *.PNG)",
                                            "Broken entry without masks"};
    QStringList checked;
    QString startMasks;
    OnModalShown([&](QWidget* dialog) {
        EXPECT_EQ(dialog->parentWidget(), &m_owner);
        auto* list = dialog->findChild<QListWidget*>("lbFileTypes");
        auto* masks = dialog->findChild<QLineEdit*>("edMasks");
        ASSERT_TRUE(list && masks);
        ASSERT_EQ(list->count(), 2);
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                checked << list->item(i)->text();
        startMasks = masks->text();
        list->item(1)->setCheckState(Qt::Checked);
        list->item(0)->setCheckState(Qt::Unchecked);
        masks->setText("*.log; readme");
        EXPECT_EQ(dialog->findChild<QLabel*>("lbResult")->text(), "*.BMP *.PNG *.LOG README");
        press(dialog, QDialogButtonBox::Ok);
    });
    const auto result = m_calls.CallExtendedFileSpec(types, "*.doc *.TXT *.ini", &m_owner);
    EXPECT_EQ(checked, QStringList{"Text files (*.TXT *.DOC)"});
    EXPECT_EQ(startMasks, "*.INI");
    EXPECT_EQ(result, std::optional<std::string>("*.BMP *.PNG *.LOG README"));
}

TEST_F(UtilsLibrary, ExtendedFileSpecCancelledLeavesNothing) {
    OnModalShown([](QWidget* dialog) { press(dialog, QDialogButtonBox::Cancel); });
    EXPECT_EQ(m_calls.CallExtendedFileSpec({}, "*.TXT", &m_owner), std::nullopt);
}

TEST_F(UtilsLibrary, ExtendedFileSpecRefusesWhatDoesNotFitTheBuffer) {
    // 3000 masks of five characters make more than 8191 bytes.
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += "*." + std::to_string(1000 + i % 9000).substr(0, 3) + std::to_string(i) + " ";
    bool warned = false;
    OnModalShown([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("edMasks")->setText(QString::fromStdString(many));
        // The refusal is a message box of its own; answer it, then give up.
        OnModalShown([&, dialog](QWidget* message) {
            warned = message != dialog;
            message->close();
            QTimer::singleShot(0, dialog, [dialog] { press(dialog, QDialogButtonBox::Cancel); });
        });
        press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(m_calls.CallExtendedFileSpec({}, "", &m_owner), std::nullopt);
    EXPECT_TRUE(warned);
}

TEST_F(UtilsLibrary, AboutBoxNamesTheProgramAndVersion) {
    QString name, version;
    OnModalShown([&](QWidget* dialog) {
        name = dialog->findChild<QLabel*>("lbProgramName")->text();
        version = dialog->findChild<QLabel*>("lbVersion")->text();
        press(dialog, QDialogButtonBox::Ok);
    });
    m_calls.CallShowAboutForm(&m_owner);
    EXPECT_TRUE(name.contains("Zentrix"));
    EXPECT_EQ(version, "Version 1.0");
}

TEST_F(UtilsLibrary, DiskInfoShowsTheVolumeOfTheLetter) {
    QMap<QString, QString> rows;
    OnModalShown([&](QWidget* dialog) {
        for (auto* label : dialog->findChildren<QLabel*>())
            if (const QString caption = label->property("zentrixValueCaption").toString();
                !caption.isEmpty()) {
                rows[caption] = label->text();
                // What a screen reader hears: caption and value together.
                EXPECT_EQ(label->accessibleName(), caption + ": " + label->text());
            }
        press(dialog, QDialogButtonBox::Ok);
    });
    m_calls.CallShowDiskInfo('C', &m_owner);
    EXPECT_EQ(rows["Drive"], "C:\\");
    EXPECT_EQ(rows["Kind"], "Fixed");
    EXPECT_EQ(rows["Volume label"], "DATA");
    EXPECT_EQ(rows["Directory"], QString::fromStdString(test::DriveRoot()));
    EXPECT_TRUE(rows["Total space"].endsWith(")")) << rows["Total space"].toStdString();
    EXPECT_FALSE(rows["File system"].isEmpty());
}

TEST_F(UtilsLibrary, ClipboardViewerShowsTextAndFollowsChanges) {
    QApplication::clipboard()->setText("first line\nsecond line\n");
    QStringList formats;
    QString shown, afterChange, status;
    OnModalShown([&](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("lbFormats");
        auto* text = dialog->findChild<QPlainTextEdit*>("meText");
        for (int i = 0; i < list->count(); ++i)
            formats << list->item(i)->text();
        shown = text->toPlainText();
        status = dialog->findChild<QLabel*>("lbStatus")->text();
        QApplication::clipboard()->setText("changed");
        afterChange = text->toPlainText();
        press(dialog, QDialogButtonBox::Close);
    });
    m_calls.CallShowZentrixQCV(&m_owner);
    EXPECT_EQ(formats.value(0), "Text");
    EXPECT_TRUE(formats.contains("text/plain"));
    EXPECT_EQ(shown, "first line\nsecond line\n");
    EXPECT_EQ(status, "Text: 23 characters, 2 lines");
    EXPECT_EQ(afterChange, "changed");
}

TEST_F(UtilsLibrary, TheEditorKeepsEveryLinesOwnEnd) {
    test::TempDir tmp;
    // Mixed ends, a no-break space, and no end after the last line.
    const std::string mixed = "one\r\ntwo\nthree\r\nfour\rfive\xC2\xA0six\nlast";
    tmp.write("mixed.txt", mixed);
    OnModalShown([&](QWidget* dialog) {
        auto* text = dialog->findChild<QPlainTextEdit*>("meText");
        ASSERT_TRUE(text);
        // A change on the second line only, and a new line after the fourth (the
        // fourth keeps its end, the new line takes the first line's).
        QTextCursor cursor(text->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(" more");
        cursor = QTextCursor(text->document()->findBlockByNumber(3));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText("\nnew");
        for (QAction* action : dialog->findChildren<QAction*>())
            if (action->text() == "&Save")
                action->trigger();
        dialog->close();
    });
    m_calls.CallEditFile(tmp.at("mixed.txt"), &m_owner);
    // New lines take the first line's end; every other line keeps its own.
    EXPECT_EQ(test::ReadFile(tmp.at("mixed.txt")),
              "one\r\ntwo more\nthree\r\nfour\rnew\r\nfive\xC2\xA0six\nlast");
}

TEST_F(UtilsLibrary, AnIconThatIsNoPlainFileIsNeverRead) {
    test::TempDir tmp;
    // A picture that would show, were the FIFO opened and read.
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    ASSERT_EQ(::mkfifo(tmp.at("icon.png").c_str(), 0600), 0);
    test::FifoFeeder feeder(tmp.at("icon.png"), png.toStdString());
    tmp.write("app.desktop", "[Desktop Entry]\nName=App\nIcon=" + tmp.at("icon.png") + "\n");
    int icons = -1;
    OnModalShown([&](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("lvIcons");
        ASSERT_TRUE(list);
        dialog->grab(); // painted, as the user sees it
        icons = list->count();
        press(dialog, QDialogButtonBox::Close);
    });
    m_calls.CallViewIcons("App", tmp.at("app.desktop"), &m_owner);
    EXPECT_EQ(icons, 0);
}

} // namespace
} // namespace zentrix
